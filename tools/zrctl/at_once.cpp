#include "tools/zrctl/at_once.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace lumiq::zrctl {

void ForEachAtOnce(int count, int jobs, const std::function<void(int)>& work,
                   const std::function<bool()>& stop) {
  std::atomic<int> next{0};
  const auto serve = [&] {
    for (;;) {
      if (stop()) return;
      const int i = next.fetch_add(1);
      if (i >= count) return;
      work(i);
    }
  };
  const int threads = std::min(count, std::max(jobs, 1));
  std::vector<std::thread> workers;
  for (int t = 1; t < threads; ++t) workers.emplace_back(serve);
  serve();
  for (std::thread& worker : workers) worker.join();
}

}  // namespace lumiq::zrctl
