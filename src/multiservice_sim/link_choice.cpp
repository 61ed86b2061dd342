#include "multiservice_sim/link_choice.h"

namespace moravel {

LinkPolicy PolicyFromKeyword(std::string_view keyword) {
  if (keyword == kMostFreeKeyword) return LinkPolicy::kMostFree;
  if (keyword == kFewestFreeKeyword) return LinkPolicy::kFewestFree;
  if (keyword == kRandomFreeKeyword) return LinkPolicy::kRandomFree;
  return LinkPolicy::kNone;
}

}  // namespace moravel
