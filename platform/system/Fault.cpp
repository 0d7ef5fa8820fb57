// The fault seam's rule table.
#include "platform/system/Fault.h"

#include <mutex>
#include <vector>

namespace fault {
namespace {

struct Armed {
  Rule rule;
  int seen = 0;
};

std::mutex mutex;
std::vector<Armed> rules;

}  // namespace

void Add(const Rule& rule) {
  std::lock_guard lock(mutex);
  rules.push_back({rule, 0});
}

void Clear() {
  std::lock_guard lock(mutex);
  rules.clear();
}

std::optional<Rule> Check(std::string_view call, std::string_view path) {
  std::lock_guard lock(mutex);
  std::optional<Rule> fired;
  for (Armed& armed : rules) {
    if (armed.rule.call != call) continue;
    if (!armed.rule.pathContains.empty() && path.find(armed.rule.pathContains) == std::string_view::npos) {
      continue;
    }
    ++armed.seen;
    bool fires = armed.rule.nth == 0 || armed.seen == armed.rule.nth;
    if (fires && !fired) fired = armed.rule;
  }
  return fired;
}

}  // namespace fault
