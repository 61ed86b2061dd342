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
//   ct calls minutes h p n L t
//       -> A and the eleven contact-centre figures, in the record's order
//   ct_retrials calls minutes h p n L t rb ra redial
//       -> the eleven figures of an attempt, total retry attempts_per_caller
//          answered blocked abandoned redialling
//   ct_agents calls minutes h p L t KIND target max_occupancy
//       -> the least agents and the eleven figures there
//   ct_traffic n h p L t KIND target max_occupancy
//       -> the largest traffic and the eleven figures there
//   ct_day minutes t KIND target occupancy shrinkage M calls[M] h[M] p[M]|none
//       -> per interval: traffic needed scheduled SL SL_excluding ASA abandon
//          occupancy; then the day: calls traffic needed scheduled hours peak
//          answered abandoned SL SL_excluding ASA abandon occupancy
//   (p may be inf; KIND is sl-offered, sl-excluding, asa, abandon or wait)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
  out << s.agents << s.wait_probability << s.service_level << s.mean_speed_of_answer << s.occupancy;
  return out;
}

// A double as strtod reads it, "inf" included.
double Real(std::istream& in) {
  std::string token;
  in >> token;
  return std::strtod(token.c_str(), nullptr);
}

Answer& ContactFigures(Answer& out, const moravel_contact_centre_result& r) {
  return out << r.wait_probability << r.blocked_probability << r.abandon_probability
             << r.abandon_within_answer_time << r.service_level
             << r.service_level_excluding_short_abandons << r.mean_answer_wait << r.mean_wait
             << r.queue_length << r.occupancy << r.carried;
}

Answer& PlanFigures(Answer& out, const moravel_contact_centre_result& r) {
  return out << r.service_level << r.service_level_excluding_short_abandons << r.mean_answer_wait
             << r.abandon_probability << r.occupancy;
}

// The page's staffing targets: one kind with its value, and a highest occupancy.
moravel_day_plan_targets Targets(std::istream& in, double answer_time) {
  std::string kind;
  in >> kind;
  const double target = Real(in);
  moravel_day_plan_targets t{};
  t.answer_time = answer_time;
  if (kind == "sl-offered" || kind == "sl-excluding") {
    t.service_level = target;
    t.service_level_basis = kind == "sl-excluding" ? MORAVEL_SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS
                                                   : MORAVEL_SERVICE_LEVEL_OFFERED;
  } else if (kind == "asa") {
    t.mean_answer_wait = target;
  } else if (kind == "abandon") {
    t.abandonment = target;
  } else {
    t.wait_probability = target;
  }
  t.occupancy = Real(in);
  return t;
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
  if (name == "ct" || name == "ct_retrials") {
    const double calls = Real(in), minutes = Real(in);
    h = Real(in);
    const double p = Real(in);
    std::int32_t lines = 0;
    in >> V >> lines;
    t = Real(in);
    // The page's offered traffic, as in "cc".
    A = (calls * h) / (minutes * 60);
    Answer out;
    if (name == "ct") {
      moravel_contact_centre_result r;
      Check(moravel_contact_centre(A, h, p, V, lines, t, &r));
      out << A;
      return ContactFigures(out, r);
    }
    const double rb = Real(in), ra = Real(in), redial = Real(in);
    moravel_retrial_result r;
    Check(moravel_contact_centre_retrials(A, h, p, V, lines, t, rb, ra, redial, &r));
    ContactFigures(out, r.attempt);
    out << r.offered_total << r.retry_traffic << r.attempts_per_caller << r.answered_share
        << r.blocked_share << r.abandoned_share << r.redialling;
    return out;
  }
  if (name == "ct_agents" || name == "ct_traffic") {
    double calls = 0, minutes = 0;
    if (name == "ct_agents") {
      calls = Real(in);
      minutes = Real(in);
    } else {
      in >> V;
    }
    h = Real(in);
    const double p = Real(in);
    std::int32_t lines = 0;
    in >> lines;
    t = Real(in);
    std::string kind;
    in >> kind;
    const double goal_target = Real(in), max_occupancy = Real(in);
    const std::int32_t goal = kind == "sl-offered" ? MORAVEL_GOAL_SERVICE_LEVEL
                              : kind == "sl-excluding"
                                  ? MORAVEL_GOAL_SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS
                              : kind == "asa"     ? MORAVEL_GOAL_MEAN_ANSWER_WAIT
                              : kind == "abandon" ? MORAVEL_GOAL_ABANDON_PROBABILITY
                                                  : MORAVEL_GOAL_WAIT_PROBABILITY;
    moravel_contact_centre_result r;
    Answer out;
    if (name == "ct_agents") {
      A = (calls * h) / (minutes * 60);
      Check(moravel_contact_centre_agents(A, h, p, lines, t, goal, goal_target, max_occupancy, &V,
                                          &r));
      out << V;
    } else {
      Check(moravel_contact_centre_traffic(V, h, p, lines, t, goal, goal_target, max_occupancy, &A,
                                           &r));
      out << A;
    }
    return ContactFigures(out, r);
  }
  if (name == "ct_day") {
    const double minutes = Real(in);
    t = Real(in);
    const moravel_day_plan_targets targets = Targets(in, t);
    const double shrinkage = Real(in);
    std::size_t M = 0;
    in >> M;
    std::vector<double> calls(M), handling(M), patience(M);
    for (double& c : calls) c = Real(in);
    for (double& c : handling) c = Real(in);
    std::string first;
    in >> first;
    const bool any_patience = first != "none";
    if (any_patience && M > 0) {
      patience[0] = std::strtod(first.c_str(), nullptr);
      for (std::size_t i = 1; i < M; ++i) patience[i] = Real(in);
    }
    std::vector<moravel_day_plan_interval> intervals(M);
    moravel_day_plan_totals totals;
    Check(moravel_day_plan(M, calls.data(), handling.data(),
                           any_patience ? patience.data() : nullptr, &targets, minutes, shrinkage,
                           intervals.data(), &totals, nullptr));
    Answer out;
    for (const auto& i : intervals) {
      out << i.traffic << i.agents_needed << i.agents_scheduled;
      PlanFigures(out, i.figures);
    }
    out << totals.calls << totals.traffic << static_cast<double>(totals.agent_intervals_needed)
        << static_cast<double>(totals.agent_intervals_scheduled) << totals.scheduled_agent_hours
        << totals.peak_agents_scheduled << totals.answered_calls << totals.abandoned_calls;
    PlanFigures(out, totals.figures);
    return out;
  }
  if (name == "lk_group" || name == "lk_subset") {
    in >> k >> f;
    if (name == "lk_subset") in >> g;
    const Classes c = ReadClasses(in);
    const auto M = static_cast<std::int32_t>(c.a.size());
    std::vector<double> blocking(M), carried(M);
    Check(name == "lk_group"
              ? moravel_link_group(c.a.data(), M, c.t.data(), k, f, blocking.data(), carried.data())
              : moravel_link_subset(c.a.data(), M, c.t.data(), k, f, g, blocking.data(),
                                    carried.data()));
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
    Check(name == "lk_group_links" ? moravel_link_group_links(c.a.data(), M, c.t.data(), f, target,
                                                              &links, blocking.data())
                                   : moravel_link_subset_links(c.a.data(), M, c.t.data(), f, g,
                                                               target, &links, blocking.data()));
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
