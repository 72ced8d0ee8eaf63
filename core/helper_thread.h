#pragma once
// A second thread kept for work split in two over and over (each frame of a stream, say):
// alongside(helper, own) runs helper on the kept thread and own on the caller's, and returns when
// both are done. Keeping the thread saves starting one per call (about 30 us, a tenth of a pass
// over a few hundred thousand cells). Neither task may throw.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace ombrix::core {

class HelperThread {
 public:
  HelperThread();
  ~HelperThread();
  HelperThread(const HelperThread&) = delete;
  HelperThread& operator=(const HelperThread&) = delete;
  void alongside(const std::function<void()>& helper, const std::function<void()>& own);

 private:
  void serve();
  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void()>* task_ = nullptr;  // the helper's task, null once done
  bool stopping_ = false;
  std::thread thread_;  // started last, when the members it uses exist
};

}  // namespace ombrix::core
