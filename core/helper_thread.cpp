#include "core/helper_thread.h"

namespace ombrix::core {

HelperThread::HelperThread() : thread_([this] { serve(); }) {}

HelperThread::~HelperThread() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void HelperThread::alongside(const std::function<void()>& helper, const std::function<void()>& own) {
  {
    const std::lock_guard lock(mutex_);
    task_ = &helper;
  }
  changed_.notify_all();
  own();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return task_ == nullptr; });
}

void HelperThread::serve() {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [this] { return stopping_ || task_ != nullptr; });
    if (stopping_) return;
    const std::function<void()>* task = task_;
    lock.unlock();
    (*task)();
    lock.lock();
    task_ = nullptr;
    changed_.notify_all();
  }
}

}  // namespace ombrix::core
