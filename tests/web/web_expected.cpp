// The native library's answers to the calls the calculator page makes, for
// the browser test to compare with the page bit for bit.
//
// Reads one request a line from standard input, "NAME ARG ...", and writes
// one line: "ok" followed by the figures the page shows, in its order
// (doubles as %.17g, which reads back to the same double, counts as %d), or
// "refused CODE MESSAGE" with the library's status and its text.
//
//   eb_loss V A | eb_servers A target | eb_traffic V target
//       -> V A loss carried
//   ec_service V A h t | ec_servers A h t target
//       -> agents wait service_level mean_speed_of_answer occupancy
//   en_loss N V a | en_servers N a target | en_traffic N V target
//       -> V a loss carried
//   cc calls minutes h t target
//       -> A agents service_level mean_speed_of_answer occupancy wait
//   lk_group k f M a[M] t[M] | lk_subset k f g M a[M] t[M]
//       -> blocking[M] carried[M]
//   lk_group_links f target M a[M] t[M] | lk_subset_links f g target M a[M] t[M]
//       -> links blocking[M]
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "moravel/api.h"

namespace {

class Answer {
 public:
  Answer& operator<<(double x) {
    char text[40];
    std::snprintf(text, sizeof text, " %.17g", x);
    line_ += text;
    return *this;
  }
  Answer& operator<<(std::int32_t n) {
    line_ += " " + std::to_string(n);
    return *this;
  }
  const std::string& Line() const { return line_; }

 private:
  std::string line_ = "ok";
};

// A refusal ends the request; anything else is its answer.
struct Refused {
  moravel_status status;
};

void Check(moravel_status status) {
  if (status != MORAVEL_OK) throw Refused{status};
}

struct Classes {
  std::vector<double> a, t;
};

Classes ReadClasses(std::istream& in) {
  std::int32_t M = 0;
  in >> M;
  Classes c{std::vector<double>(M), std::vector<double>(M)};
  for (double& x : c.a) in >> x;
  for (double& x : c.t) in >> x;
  return c;
}

Answer LossFigures(std::int32_t V, double A) {
  moravel_loss_result r;
  Check(moravel_loss(V, A, &r));
  Answer out;
  out << V << A << r.loss << r.carried;
  return out;
}

Answer EngsetFigures(std::int32_t N, std::int32_t V, double a) {
  moravel_loss_result r;
  Check(moravel_loss_finite_sources(N, V, a, &r));
  Answer out;
  out << V << a << r.loss << r.carried;
  return out;
}

Answer StaffingFigures(const moravel_staffing& s) {
  Answer out;
  out << s.agents << s.wait_probability << s.service_level << s.mean_speed_of_answer
      << s.occupancy;
  return out;
}

Answer Respond(const std::string& name, std::istream& in) {
  std::int32_t V = 0, N = 0, k = 0, f = 0, g = 0, links = 0;
  double A = 0, a = 0, h = 0, t = 0, target = 0, x = 0;
  moravel_staffing s{};
  if (name == "eb_loss") {
    in >> V >> A;
    return LossFigures(V, A);
  }
  if (name == "eb_servers") {
    in >> A >> target;
    Check(moravel_erlang_b_servers(A, target, &V, &x));
    return LossFigures(V, A);
  }
  if (name == "eb_traffic") {
    in >> V >> target;
    Check(moravel_erlang_b_traffic(V, target, &A));
    return LossFigures(V, A);
  }
  if (name == "ec_service") {
    in >> V >> A >> h >> t;
    Check(moravel_staffing_figures(V, A, h, t, &s));
    return StaffingFigures(s);
  }
  if (name == "ec_servers") {
    in >> A >> h >> t >> target;
    Check(moravel_agents_for_service_level(A, h, t, target, &s));
    return StaffingFigures(s);
  }
  if (name == "ec_traffic") {
    in >> V >> h >> t >> target;
    Check(moravel_traffic_for_service_level(V, h, t, target, &A, &s));
    Answer out = StaffingFigures(s);
    out << A;
    return out;
  }
  if (name == "en_loss") {
    in >> N >> V >> a;
    return EngsetFigures(N, V, a);
  }
  if (name == "en_servers") {
    in >> N >> a >> target;
    Check(moravel_engset_servers(N, a, target, &V, &x));
    return EngsetFigures(N, V, a);
  }
  if (name == "en_traffic") {
    in >> N >> V >> target;
    Check(moravel_engset_traffic(N, V, target, &a));
    return EngsetFigures(N, V, a);
  }
  if (name == "cc") {
    double calls = 0, minutes = 0;
    in >> calls >> minutes >> h >> t >> target;
    // The page's offered traffic: calls per second times the handling time.
    A = (calls * h) / (minutes * 60);
    Check(moravel_agents_for_service_level(A, h, t, target, &s));
    Answer out;
    out << A << s.agents << s.service_level << s.mean_speed_of_answer << s.occupancy
        << s.wait_probability;
    return out;
  }
  if (name == "lk_group" || name == "lk_subset") {
    in >> k >> f;
    if (name == "lk_subset") in >> g;
    const Classes c = ReadClasses(in);
    const auto M = static_cast<std::int32_t>(c.a.size());
    std::vector<double> blocking(M), carried(M);
    Check(name == "lk_group" ? moravel_link_group(c.a.data(), M, c.t.data(), k, f,
                                                  blocking.data(), carried.data())
                             : moravel_link_subset(c.a.data(), M, c.t.data(), k, f, g,
                                                   blocking.data(), carried.data()));
    Answer out;
    for (double b : blocking) out << b;
    for (double c2 : carried) out << c2;
    return out;
  }
  if (name == "lk_group_links" || name == "lk_subset_links") {
    in >> f;
    if (name == "lk_subset_links") in >> g;
    in >> target;
    const Classes c = ReadClasses(in);
    const auto M = static_cast<std::int32_t>(c.a.size());
    std::vector<double> blocking(M);
    Check(name == "lk_group_links"
              ? moravel_link_group_links(c.a.data(), M, c.t.data(), f, target, &links,
                                         blocking.data())
              : moravel_link_subset_links(c.a.data(), M, c.t.data(), f, g, target, &links,
                                          blocking.data()));
    Answer out;
    out << links;
    for (double b : blocking) out << b;
    return out;
  }
  throw Refused{MORAVEL_ERROR_INTERNAL};
}

}  // namespace

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream in(line);
    std::string name;
    in >> name;
    try {
      std::cout << Respond(name, in).Line() << '\n';
    } catch (const Refused& refused) {
      std::cout << "refused " << refused.status << ' ' << moravel_status_message(refused.status)
                << '\n';
    }
  }
  return 0;
}
