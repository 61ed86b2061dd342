// Which link of a call's subset takes the call.
#ifndef MORAVEL_MULTISERVICE_SIM_LINK_CHOICE_H
#define MORAVEL_MULTISERVICE_SIM_LINK_CHOICE_H

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace moravel {

// The link-choice keywords, compared byte for byte (length and bytes) in
// their UTF-8 form.
enum class LinkPolicy {
  kMostFree,    // "МаксСвоб": the link with the most free units
  kFewestFree,  // "МинСвоб": the link with the fewest free units that fit
  kRandomFree,  // "ПервСвоб": a link drawn uniformly among those that fit
  kNone,        // any other keyword, the empty one included: no link at all
};

LinkPolicy PolicyFromKeyword(std::string_view keyword);

// The UTF-8 bytes of the three keywords (16, 14 and 16 bytes).
inline constexpr std::string_view kMostFreeKeyword =
    "\xD0\x9C\xD0\xB0\xD0\xBA\xD1\x81\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1";
inline constexpr std::string_view kFewestFreeKeyword =
    "\xD0\x9C\xD0\xB8\xD0\xBD\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1";
inline constexpr std::string_view kRandomFreeKeyword =
    "\xD0\x9F\xD0\xB5\xD1\x80\xD0\xB2\xD0\xA1\xD0\xB2\xD0\xBE\xD0\xB1";

struct LinkChoice {
  std::int32_t free;      // free units of the chosen link at the arrival
  std::int32_t position;  // the link's position in the subset (0 .. g-1)
};

// The links at positions p = 0 .. g-1 of a subset have free[p] free units;
// those with free[p] >= demand are the candidates.  No candidate: no link,
// before the policy is looked at.  Otherwise "МаксСвоб" takes the most free
// units and "МинСвоб" the fewest, a tie going to the lowest position;
// "ПервСвоб" takes the candidate numbered random_index(n) among the n
// candidates in position order, and only then calls random_index; any
// other keyword gives no link.
template <class RandomIndex>
std::optional<LinkChoice> ChooseLink(std::span<const std::int32_t> free, std::int64_t demand,
                                     LinkPolicy policy, RandomIndex&& random_index) {
  std::optional<LinkChoice> most;
  std::optional<LinkChoice> fewest;
  std::uint32_t candidates = 0;
  for (std::size_t p = 0; p < free.size(); ++p) {
    if (free[p] < demand) continue;
    const LinkChoice here{free[p], static_cast<std::int32_t>(p)};
    if (!most || here.free > most->free) most = here;
    if (!fewest || here.free < fewest->free) fewest = here;
    ++candidates;
  }
  if (candidates == 0) return std::nullopt;
  switch (policy) {
    case LinkPolicy::kMostFree: return most;
    case LinkPolicy::kFewestFree: return fewest;
    case LinkPolicy::kRandomFree: {
      std::uint32_t r = random_index(candidates);
      for (std::size_t p = 0; p < free.size(); ++p) {
        if (free[p] < demand) continue;
        if (r-- == 0) return LinkChoice{free[p], static_cast<std::int32_t>(p)};
      }
      return std::nullopt;  // not reached: r < candidates
    }
    case LinkPolicy::kNone: break;
  }
  return std::nullopt;
}

}  // namespace moravel

#endif
