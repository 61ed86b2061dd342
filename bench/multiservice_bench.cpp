// The link-group and link-subset exports against the plain transcription
// that recomputes every count where it is used.  Both give the same bits;
// the ratio of their times is what the tabulated counts buy.  Each is timed
// twice: as a whole (the export, and the transcription writing the same
// text), and as the model alone, without the shared cost of writing the
// numbers as text.
//
// Groups (index = benchmark argument):
//   0 small: k = 2, f = 5, g = 1, two classes
//   1 mid:   k = 4, f = 30, g = 2, four classes
//   2 large: k = 6, f = 60, g = 3, six classes
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "moravel.h"
#include "multiservice/link_group_model.h"
#include "multiservice/link_subset_model.h"
#include "reference/multiservice_reference.h"

namespace {

struct Group {
  std::vector<double> a;
  std::vector<double> t;
  std::int32_t k;
  std::int32_t f;
  std::int32_t g;
  std::int32_t M() const { return static_cast<std::int32_t>(a.size()); }
};

const Group& GroupAt(std::int64_t index) {
  static const Group groups[] = {
      {{2.0, 1.0}, {1.0, 2.0}, 2, 5, 1},
      {{20.0, 8.0, 4.0, 2.0}, {1.0, 2.0, 4.0, 6.0}, 4, 30, 2},
      {{40.0, 20.0, 12.0, 8.0, 5.0, 3.0}, {1.0, 2.0, 3.0, 5.0, 8.0, 12.0}, 6, 60, 3},
  };
  return groups[index];
}

// Times `call` on the group of the benchmark's argument.
template <class Call>
void TimeOnGroup(benchmark::State& state, Call call) {
  const Group& group = GroupAt(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(call(group));
}

void BM_LinkGroupExport(benchmark::State& state) {
  TimeOnGroup(state, [](const Group& group) {
    return VM_VMl_V_L_an(group.a.data(), group.M(), group.t.data(), group.k, group.f);
  });
}

void BM_LinkGroupTranscription(benchmark::State& state) {
  TimeOnGroup(state, [](const Group& group) {
    return moravel::reference::LinkGroupText(group.a.data(), group.M(), group.t.data(), group.k,
                                             group.f);
  });
}

void BM_LinkSubsetExport(benchmark::State& state) {
  TimeOnGroup(state, [](const Group& group) {
    return VM_VMl_VDg_L_an(group.a.data(), group.M(), group.t.data(), group.k, group.f, group.g);
  });
}

void BM_LinkSubsetTranscription(benchmark::State& state) {
  TimeOnGroup(state, [](const Group& group) {
    return moravel::reference::LinkSubsetText(group.a.data(), group.M(), group.t.data(), group.k,
                                              group.f, group.g);
  });
}

void BM_LinkGroupModel(benchmark::State& state) {
  TimeOnGroup(state, [](const Group& group) {
    return moravel::LinkGroupModel(group.a.data(), group.M(), group.t.data(), group.k, group.f);
  });
}

void BM_LinkGroupTranscriptionModel(benchmark::State& state) {
  TimeOnGroup(state, [](const Group& group) {
    return moravel::reference::LinkGroupModel(group.a.data(), group.M(), group.t.data(), group.k,
                                              group.f);
  });
}

void BM_LinkSubsetModel(benchmark::State& state) {
  TimeOnGroup(state, [](const Group& group) {
    return moravel::LinkSubsetModel(group.a.data(), group.M(), group.t.data(), group.k, group.f,
                                    group.g);
  });
}

void BM_LinkSubsetTranscriptionModel(benchmark::State& state) {
  TimeOnGroup(state, [](const Group& group) {
    return moravel::reference::LinkSubsetModel(group.a.data(), group.M(), group.t.data(), group.k,
                                               group.f, group.g);
  });
}

BENCHMARK(BM_LinkGroupExport)->DenseRange(0, 2);
BENCHMARK(BM_LinkGroupTranscription)->DenseRange(0, 2);
BENCHMARK(BM_LinkSubsetExport)->DenseRange(0, 2);
BENCHMARK(BM_LinkSubsetTranscription)->DenseRange(0, 2);
BENCHMARK(BM_LinkGroupModel)->DenseRange(0, 2);
BENCHMARK(BM_LinkGroupTranscriptionModel)->DenseRange(0, 2);
BENCHMARK(BM_LinkSubsetModel)->DenseRange(0, 2);
BENCHMARK(BM_LinkSubsetTranscriptionModel)->DenseRange(0, 2);

}  // namespace
