#pragma once
// Frames encoded as chunks (see netcdf_chunk.h) on worker threads while the caller prepares
// the next ones, handed back to the caller in the order they were queued. Memory is a few
// frames' worth, whatever the number of frames.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace ombrix::gis {

class ChunkPipeline {
 public:
  // Receives a chunk in queue order; false stops the pipeline.
  using Sink = std::function<bool(std::int64_t frame, std::span<const std::uint8_t> chunk)>;

  ChunkPipeline(std::size_t cellsPerFrame, Sink sink);
  ~ChunkPipeline();  // chunks not yet handed to the sink are dropped
  ChunkPipeline(const ChunkPipeline&) = delete;
  ChunkPipeline& operator=(const ChunkPipeline&) = delete;

  // Queues a frame (its cells are shuffled into the pipeline before it returns), first handing finished chunks to the
  // sink while no slot is free. False once an encoding or the sink has failed.
  bool push(std::int64_t frame, std::span<const std::int16_t> cells);
  // Hands every queued chunk to the sink. False once an encoding or the sink has failed.
  bool finish();

 private:
  enum class State { Free, Queued, Encoding, Done, Failed };
  struct Slot {
    State state = State::Free;
    std::int64_t frame = 0;
    // Left uninitialised: the shuffle fills planes, and the pages of chunk that the encoder never
    // reaches are never mapped.
    std::unique_ptr<std::uint8_t[]> planes;
    std::unique_ptr<std::uint8_t[]> chunk;
    std::size_t chunkSize = 0;
  };

  void work();
  bool handOldest();

  Sink sink_;
  std::size_t planesSize_;
  std::size_t chunkRoom_;
  std::vector<Slot> slots_;
  std::size_t oldest_ = 0;  // the ring of slots in queue order starts here
  std::size_t queued_ = 0;
  bool failed_ = false;
  bool stopping_ = false;
  std::mutex mutex_;
  std::condition_variable queuedChanged_;
  std::condition_variable encoded_;
  std::vector<std::jthread> workers_;
};

}  // namespace ombrix::gis
