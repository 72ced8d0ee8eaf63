#include "gis/netcdf_chunk_pipeline.h"

#include <utility>

#include "gis/netcdf_chunk.h"

namespace ombrix::gis {

namespace {

constexpr std::size_t kWorkers = 2;
constexpr std::size_t kSlots = kWorkers + 1;  // the caller fills one while the workers encode

}  // namespace

ChunkPipeline::ChunkPipeline(std::size_t cellsPerFrame, Sink sink)
    : sink_(std::move(sink)),
      planesSize_(2 * cellsPerFrame),
      chunkRoom_(ChunkDeflater::bound(planesSize_)),
      slots_(kSlots) {
  for (Slot& slot : slots_) {
    slot.planes = std::make_unique_for_overwrite<std::uint8_t[]>(planesSize_);
    slot.chunk = std::make_unique_for_overwrite<std::uint8_t[]>(chunkRoom_);
  }
  for (std::size_t i = 0; i < kWorkers; ++i) workers_.emplace_back([this] { work(); });
}

ChunkPipeline::~ChunkPipeline() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  queuedChanged_.notify_all();
  workers_.clear();
}

bool ChunkPipeline::push(std::int64_t frame, std::span<const std::int16_t> cells) {
  if (failed_ || (queued_ == slots_.size() && !handOldest())) return false;
  Slot& slot = slots_[(oldest_ + queued_) % slots_.size()];
  shuffleFrame(cells, {slot.planes.get(), planesSize_});  // a free slot is the caller's alone
  {
    const std::lock_guard lock(mutex_);
    slot.frame = frame;
    slot.state = State::Queued;
    ++queued_;
  }
  queuedChanged_.notify_one();
  return true;
}

bool ChunkPipeline::finish() {
  while (!failed_ && queued_ > 0) handOldest();
  return !failed_;
}

bool ChunkPipeline::handOldest() {
  Slot& slot = slots_[oldest_];
  bool encoded = false;
  {
    std::unique_lock lock(mutex_);
    encoded_.wait(lock, [&] { return slot.state == State::Done || slot.state == State::Failed; });
    encoded = slot.state == State::Done;
  }
  failed_ = !encoded || !sink_(slot.frame, {slot.chunk.get(), slot.chunkSize});
  const std::lock_guard lock(mutex_);
  slot.state = State::Free;
  oldest_ = (oldest_ + 1) % slots_.size();
  --queued_;
  return !failed_;
}

void ChunkPipeline::work() {
  ChunkDeflater deflater;
  std::unique_lock lock(mutex_);
  for (;;) {
    Slot* slot = nullptr;
    queuedChanged_.wait(lock, [&] {
      slot = nullptr;
      for (std::size_t k = 0; k < queued_ && !slot; ++k) {
        Slot& candidate = slots_[(oldest_ + k) % slots_.size()];
        if (candidate.state == State::Queued) slot = &candidate;
      }
      return stopping_ || slot;
    });
    if (stopping_) return;
    slot->state = State::Encoding;
    lock.unlock();
    const std::size_t size = deflater.deflate({slot->planes.get(), planesSize_}, {slot->chunk.get(), chunkRoom_});
    lock.lock();
    slot->chunkSize = size;
    slot->state = size > 0 ? State::Done : State::Failed;
    encoded_.notify_one();
  }
}

}  // namespace ombrix::gis
