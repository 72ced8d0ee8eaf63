#pragma once
// Work items made on worker threads and handed on in order: produce(i, item) runs for i = 0 ..
// count - 1 on the workers, at most depth items ahead of the caller, which receives each item in
// turn through consume(i, item). Memory is depth items, whatever count. The first failure of
// consume stops the workers; items not yet handed on are dropped.
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/problem.h"

namespace ombrix::core {

template <typename Item>
Status runInOrder(std::size_t count, int workers, std::size_t depth,
                  const std::function<void(std::size_t, Item&)>& produce,
                  const std::function<Status(std::size_t, Item&)>& consume) {
  std::vector<Item> items(depth);
  std::vector<bool> ready(depth, false);
  std::mutex mutex;
  std::condition_variable changed;
  std::size_t claimed = 0;
  std::size_t consumed = 0;
  bool stopping = false;
  const auto work = [&] {
    while (true) {
      std::size_t i = 0;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stopping || claimed >= count || claimed < consumed + depth; });
        if (stopping || claimed >= count) return;
        i = claimed++;
      }
      produce(i, items[i % depth]);
      {
        const std::lock_guard lock(mutex);
        ready[i % depth] = true;
      }
      changed.notify_all();
    }
  };
  Status status;
  std::vector<std::jthread> threads;
  for (int w = 0; w < workers; ++w) threads.emplace_back(work);
  while (status && consumed < count) {
    const std::size_t at = consumed % depth;
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return static_cast<bool>(ready[at]); });
    }
    status = consume(consumed, items[at]);
    {
      const std::lock_guard lock(mutex);
      ready[at] = false;
      ++consumed;
      stopping = !status;
    }
    changed.notify_all();
  }
  return status;
}

}  // namespace ombrix::core
