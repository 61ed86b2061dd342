// moravel.js - libMoravel's status-returning interface (moravel/api.h) for
// JavaScript, over the WebAssembly module built by the preset `wasm`.
//
//   const moravel = await Moravel.load();        // in a page, after moravel_wasm.js
//   moravel.erlangBServers(50, 0.01);            // {servers: 64, loss: 0.0094...}
//
// Every function returns the doubles the library computed, unrounded.  A
// refused input throws a MoravelError whose message is the library's own
// static text ("servers must be at least 1") and whose `status` is the
// moravel_status code; a count that is not a whole number within 32 bits
// throws a RangeError before the library is called (WebAssembly would wrap
// it silently).
(function (root, define) {
  if (typeof module === "object" && module.exports) module.exports = define();
  else root.Moravel = define();
})(typeof self !== "undefined" ? self : this, function () {
  "use strict";

  class MoravelError extends Error {
    constructor(status, message) {
      super(message);
      this.name = "MoravelError";
      this.status = status;
    }
  }

  const INT32_MIN = -2147483648;
  const INT32_MAX = 2147483647;

  function count(name, value) {
    if (!Number.isInteger(value) || value < INT32_MIN || value > INT32_MAX) {
      throw new RangeError(name + " must be a whole number within 32 bits");
    }
    return value;
  }

  function wrap(wasm) {
    const F64 = 8;
    // Scratch room for the results of one call: the widest record is the
    // contact centre's with retries (18 doubles, 144 bytes).
    const scratch = wasm._malloc(256);
    const f64 = (address) => wasm.HEAPF64[address >> 3];
    const i32 = (address) => wasm.HEAP32[address >> 2];

    function check(status) {
      if (status !== 0) {
        throw new MoravelError(status, wasm.UTF8ToString(wasm._moravel_status_message(status)));
      }
    }

    // One block of wasm memory, kept between calls and grown when a call
    // needs more, holds the per-class arrays: a malloc and free per array
    // would cost more than a small model.
    let arena = 0;
    let arenaDoubles = 0;
    function room(doubles) {
      if (doubles > arenaDoubles) {
        if (arena) wasm._free(arena);
        arenaDoubles = Math.max(doubles, 2 * arenaDoubles, 64);
        arena = wasm._malloc(arenaDoubles * F64);
        if (!arena) {
          arenaDoubles = 0;
          throw new MoravelError(2, wasm.UTF8ToString(wasm._moravel_status_message(2)));
        }
      }
      return arena;
    }

    // Runs body(addresses) with copies of the given double arrays and room
    // for `outputs` further arrays of n doubles, all in the arena.
    function withArrays(inputs, outputs, n, body) {
      let total = outputs * n;
      for (const values of inputs) total += values.length;
      let address = room(total);
      const heap = wasm.HEAPF64;
      const addresses = [];
      for (const values of inputs) {
        addresses.push(address);
        for (let j = 0, at = address >> 3; j < values.length; ++j) heap[at + j] = values[j];
        address += values.length * F64;
      }
      for (let j = 0; j < outputs; ++j) {
        addresses.push(address);
        address += n * F64;
      }
      return body(addresses);
    }

    function readDoubles(address, n) {
      const heap = wasm.HEAPF64;
      const values = new Array(n);
      for (let j = 0, at = address >> 3; j < n; ++j) values[j] = heap[at + j];
      return values;
    }

    function classCount(traffic, demand) {
      if (traffic.length !== demand.length) {
        throw new RangeError("traffic and demand need one value per class");
      }
      return traffic.length;
    }

    const lossResult = (address) => ({ loss: f64(address), carried: f64(address + 8) });
    const staffing = (address) => ({
      agents: i32(address),
      waitProbability: f64(address + 8),
      serviceLevel: f64(address + 16),
      meanSpeedOfAnswer: f64(address + 24),
      occupancy: f64(address + 32),
    });

    // moravel_contact_centre_result: eleven doubles, in the header's order.
    const contactCentreResult = (address) => ({
      waitProbability: f64(address),
      blockedProbability: f64(address + 8),
      abandonProbability: f64(address + 16),
      abandonWithinAnswerTime: f64(address + 24),
      serviceLevel: f64(address + 32),
      serviceLevelExcludingShortAbandons: f64(address + 40),
      meanAnswerWait: f64(address + 48),
      meanWait: f64(address + 56),
      queueLength: f64(address + 64),
      occupancy: f64(address + 72),
      carried: f64(address + 80),
    });
    const CONTACT_CENTRE_BYTES = 88;
    // A count of 64 bits that the library keeps below 2^53.
    const i64 = (address) => (wasm.HEAPU32[address >> 2] + wasm.HEAP32[(address >> 2) + 1] * 4294967296);

    // n points of a scalar formula through its array entry point.
    function pointsOf(fn, ints, doubles) {
      const n = ints[0].length;
      const blocks = [];
      try {
        const args = [n];
        for (const values of ints) {
          const address = wasm._malloc(Math.max(n, 1) * 4);
          blocks.push(address);
          values.forEach((v, j) => { wasm.HEAP32[(address >> 2) + j] = count("count", v); });
          args.push(address);
        }
        for (const values of doubles) {
          const address = wasm._malloc(Math.max(n, 1) * F64);
          blocks.push(address);
          wasm.HEAPF64.set(Float64Array.from(values, Number), address >> 3);
          args.push(address);
        }
        const out = wasm._malloc(Math.max(n, 1) * F64);
        blocks.push(out);
        args.push(out, scratch);
        check(fn(...args));
        return Float64Array.from(wasm.HEAPF64.subarray(out >> 3, (out >> 3) + n));
      } finally {
        blocks.forEach((address) => wasm._free(address));
      }
    }

    return {
      MoravelError,
      statusMessage: (status) => wasm.UTF8ToString(wasm._moravel_status_message(status)),

      // Scalar formulas.
      erlangB(servers, traffic) {
        check(wasm._moravel_erlang_b(count("servers", servers), traffic, scratch));
        return f64(scratch);
      },
      erlangC(servers, traffic) {
        check(wasm._moravel_erlang_c(count("servers", servers), traffic, scratch));
        return f64(scratch);
      },
      engset(sources, servers, trafficPerSource) {
        check(wasm._moravel_engset(count("sources", sources), count("servers", servers),
                                   trafficPerSource, scratch));
        return f64(scratch);
      },
      erlangBArray: (servers, traffic) =>
        pointsOf(wasm._moravel_erlang_b_array, [servers], [traffic]),
      erlangCArray: (servers, traffic) =>
        pointsOf(wasm._moravel_erlang_c_array, [servers], [traffic]),
      engsetArray: (sources, servers, trafficPerSource) =>
        pointsOf(wasm._moravel_engset_array, [sources, servers], [trafficPerSource]),

      // Single-service models.
      loss(servers, traffic) {
        check(wasm._moravel_loss(count("servers", servers), traffic, scratch));
        return lossResult(scratch);
      },
      lossFiniteSources(sources, servers, trafficPerSource) {
        check(wasm._moravel_loss_finite_sources(count("sources", sources),
                                                count("servers", servers), trafficPerSource,
                                                scratch));
        return lossResult(scratch);
      },
      wait(threshold, holdingTime, servers, traffic) {
        check(wasm._moravel_wait(threshold, holdingTime, count("servers", servers), traffic,
                                 scratch));
        return {
          waitProbability: f64(scratch),
          waitExceeds: f64(scratch + 8),
          meanWait: f64(scratch + 16),
          meanWaitOfWaiting: f64(scratch + 24),
          queueLength: f64(scratch + 32),
        };
      },

      erlangBDirect(servers, traffic) {
        check(wasm._moravel_erlang_b_direct(count("servers", servers), traffic, scratch));
        return f64(scratch);
      },
      erlangBRatio(servers, traffic, fewer) {
        check(wasm._moravel_erlang_b_ratio(count("servers", servers), traffic,
                                           count("fewer", fewer), scratch));
        return f64(scratch);
      },
      lossAssembled(x, y, z, servers, n) {
        check(wasm._moravel_loss_assembled(x, y, z, count("servers", servers), count("n", n),
                                           scratch));
        return lossResult(scratch);
      },
      lossPriority(servers, traffic) {
        const M = traffic.length;
        return withArrays([traffic], 2, M, ([a, loss, carried]) => {
          check(wasm._moravel_loss_priority(M, count("servers", servers), a, loss, carried));
          return { loss: readDoubles(loss, M), carried: readDoubles(carried, M) };
        });
      },

      // Simulations: a seed of 0 asks for a fresh one, any other repeats the run.
      simulateLoss(traffic, servers, calls, seed) {
        check(wasm._moravel_simulate_loss(traffic, count("servers", servers), count("calls", calls),
                                          seed >>> 0, scratch));
        return lossResult(scratch);
      },
      simulateWait(traffic, servers, calls, threshold, seed) {
        check(wasm._moravel_simulate_wait(traffic, count("servers", servers), count("calls", calls),
                                          threshold, seed >>> 0, scratch));
        return {
          waitProbability: f64(scratch),
          waitExceeds: f64(scratch + 8),
          meanWait: f64(scratch + 16),
          meanWaitOfWaiting: f64(scratch + 24),
          queueLength: f64(scratch + 32),
        };
      },
      // policy: Moravel.MOST_FREE, FEWEST_FREE or RANDOM_FREE.
      simulateLinkSubset(traffic, demand, links, linkUnits, subsetLinks, calls, policy, seed) {
        const M = classCount(traffic, demand);
        return withArrays([traffic, demand], 2, M, ([a, t, blocking, carried]) => {
          check(wasm._moravel_simulate_link_subset(a, M, t, count("links", links),
                                                   count("units per link", linkUnits),
                                                   count("subset links", subsetLinks),
                                                   count("calls", calls), count("policy", policy),
                                                   seed >>> 0, blocking, carried));
          return { blocking: readDoubles(blocking, M), carried: readDoubles(carried, M) };
        });
      },

      // Multi-rate link groups: per-class arrays in, per-class arrays out.
      linkGroup(traffic, demand, links, linkUnits) {
        const M = classCount(traffic, demand);
        return withArrays([traffic, demand], 2, M, ([a, t, blocking, carried]) => {
          check(wasm._moravel_link_group(a, M, t, count("links", links),
                                         count("units per link", linkUnits), blocking, carried));
          return { blocking: readDoubles(blocking, M), carried: readDoubles(carried, M) };
        });
      },
      linkSubset(traffic, demand, links, linkUnits, subsetLinks) {
        const M = classCount(traffic, demand);
        return withArrays([traffic, demand], 2, M, ([a, t, blocking, carried]) => {
          check(wasm._moravel_link_subset(a, M, t, count("links", links),
                                          count("units per link", linkUnits),
                                          count("subset links", subsetLinks), blocking,
                                          carried));
          return { blocking: readDoubles(blocking, M), carried: readDoubles(carried, M) };
        });
      },

      // Solvers: the least size for a target.
      erlangBServers(traffic, target) {
        check(wasm._moravel_erlang_b_servers(traffic, target, scratch, scratch + 8));
        return { servers: i32(scratch), loss: f64(scratch + 8) };
      },
      engsetServers(sources, trafficPerSource, target) {
        check(wasm._moravel_engset_servers(count("sources", sources), trafficPerSource, target,
                                           scratch, scratch + 8));
        return { servers: i32(scratch), loss: f64(scratch + 8) };
      },
      linkGroupLinks(traffic, demand, linkUnits, target) {
        const M = classCount(traffic, demand);
        return withArrays([traffic, demand], 1, M, ([a, t, blocking]) => {
          check(wasm._moravel_link_group_links(a, M, t, count("units per link", linkUnits),
                                               target, scratch, blocking));
          return { links: i32(scratch), blocking: readDoubles(blocking, M) };
        });
      },
      linkSubsetLinks(traffic, demand, linkUnits, subsetLinks, target) {
        const M = classCount(traffic, demand);
        return withArrays([traffic, demand], 1, M, ([a, t, blocking]) => {
          check(wasm._moravel_link_subset_links(a, M, t, count("units per link", linkUnits),
                                                count("subset links", subsetLinks), target,
                                                scratch, blocking));
          return { links: i32(scratch), blocking: readDoubles(blocking, M) };
        });
      },

      // Solvers: the largest traffic for a target.
      erlangBTraffic(servers, target) {
        check(wasm._moravel_erlang_b_traffic(count("servers", servers), target, scratch));
        return f64(scratch);
      },
      engsetTraffic(sources, servers, target) {
        check(wasm._moravel_engset_traffic(count("sources", sources), count("servers", servers),
                                           target, scratch));
        return f64(scratch);
      },

      // Call-centre staffing.
      staffingFigures(agents, traffic, handlingTime, answerTime) {
        check(wasm._moravel_staffing_figures(count("agents", agents), traffic, handlingTime,
                                             answerTime, scratch));
        return staffing(scratch);
      },
      agentsForServiceLevel(traffic, handlingTime, answerTime, target) {
        check(wasm._moravel_agents_for_service_level(traffic, handlingTime, answerTime, target,
                                                     scratch));
        return staffing(scratch);
      },
      agentsForMeanWait(traffic, handlingTime, answerTime, targetWait) {
        check(wasm._moravel_agents_for_mean_wait(traffic, handlingTime, answerTime, targetWait,
                                                 scratch));
        return staffing(scratch);
      },
      // The largest traffic the agents answer at the service level, with the
      // figures there (the traffic after the 40-byte figures in scratch).
      trafficForServiceLevel(agents, handlingTime, answerTime, target) {
        check(wasm._moravel_traffic_for_service_level(count("agents", agents), handlingTime,
                                                      answerTime, target, scratch + 48, scratch));
        return { traffic: f64(scratch + 48), ...staffing(scratch) };
      },
      agentsForWaitProbability(traffic, handlingTime, answerTime, target) {
        check(wasm._moravel_agents_for_wait_probability(traffic, handlingTime, answerTime,
                                                        target, scratch));
        return staffing(scratch);
      },

      // Contact centres: impatient callers, lines (0: no limit), retries.
      contactCentre(traffic, handlingTime, patience, agents, lines, answerTime) {
        check(wasm._moravel_contact_centre(traffic, handlingTime, patience, count("agents", agents),
                                           count("lines", lines), answerTime, scratch));
        return contactCentreResult(scratch);
      },
      // The figures every attempt meets, then the totals and each caller's
      // final outcome (moravel_retrial_result).
      contactCentreRetrials(traffic, handlingTime, patience, agents, lines, answerTime,
                            blockedRetryShare, abandonedRetryShare, redialTime) {
        check(wasm._moravel_contact_centre_retrials(traffic, handlingTime, patience,
                                                    count("agents", agents), count("lines", lines),
                                                    answerTime, blockedRetryShare,
                                                    abandonedRetryShare, redialTime, scratch));
        const at = scratch + CONTACT_CENTRE_BYTES;
        return {
          attempt: contactCentreResult(scratch),
          offeredTotal: f64(at),
          retryTraffic: f64(at + 8),
          attemptsPerCaller: f64(at + 16),
          answeredShare: f64(at + 24),
          blockedShare: f64(at + 32),
          abandonedShare: f64(at + 40),
          redialling: f64(at + 48),
        };
      },
      // Contact-centre staffing.  goal: Moravel.GOAL_SERVICE_LEVEL, ..._EXCLUDING_SHORT_ABANDONS,
      // GOAL_MEAN_ANSWER_WAIT, GOAL_ABANDON_PROBABILITY or GOAL_WAIT_PROBABILITY;
      // maxOccupancy 1 for no bound.  The least agents, with the figures there:
      contactCentreAgents(traffic, handlingTime, patience, lines, answerTime, goal, target, maxOccupancy) {
        check(wasm._moravel_contact_centre_agents(traffic, handlingTime, patience, count("lines", lines),
                                                  answerTime, count("goal", goal), target, maxOccupancy,
                                                  scratch, scratch + 8));
        return { agents: i32(scratch), figures: contactCentreResult(scratch + 8) };
      },
      // The largest traffic the agents carry at the goal, with the figures there.
      contactCentreTraffic(agents, handlingTime, patience, lines, answerTime, goal, target, maxOccupancy) {
        check(wasm._moravel_contact_centre_traffic(count("agents", agents), handlingTime, patience,
                                                   count("lines", lines), answerTime, count("goal", goal),
                                                   target, maxOccupancy, scratch, scratch + 8));
        return { traffic: f64(scratch), figures: contactCentreResult(scratch + 8) };
      },
      // A day's plan: per-interval arrays of calls, handling times and
      // patiences in seconds (patience null: nobody hangs up); targets
      // {answerTime, serviceLevel, serviceLevelBasis, meanAnswerWait,
      // abandonment, waitProbability, occupancy}, 0 or absent for none.  A
      // refused interval throws a MoravelError with its `index`.
      dayPlan(calls, handlingTime, patience, targets, intervalMinutes, shrinkage) {
        const n = calls.length;
        if (handlingTime.length !== n || (patience && patience.length !== n)) {
          throw new RangeError("calls, handling times and patiences need one value per interval");
        }
        const INTERVAL_BYTES = 16 + CONTACT_CENTRE_BYTES;   // traffic, two int32, the figures
        const TARGET_BYTES = 56, TOTAL_BYTES = 72 + CONTACT_CENTRE_BYTES;
        const inputs = patience ? [calls, handlingTime, patience] : [calls, handlingTime];
        // The records after the arrays: each a whole number of doubles long.
        const extra = (TARGET_BYTES + TOTAL_BYTES + 8 + n * INTERVAL_BYTES) / F64;
        return withArrays(inputs, 1, extra, ([c, h, ...rest]) => {
          const p = patience ? rest[0] : 0;
          const targetsAt = rest[rest.length - 1];
          const totalsAt = targetsAt + TARGET_BYTES;
          const indexAt = totalsAt + TOTAL_BYTES;
          const intervalsAt = indexAt + 8;
          const t = targets || {};
          const heap = wasm.HEAPF64;
          heap[targetsAt >> 3] = t.answerTime || 0;
          heap[(targetsAt + 8) >> 3] = t.serviceLevel || 0;
          wasm.HEAP32[(targetsAt + 16) >> 2] = count("service-level basis", t.serviceLevelBasis || 0);
          heap[(targetsAt + 24) >> 3] = t.meanAnswerWait || 0;
          heap[(targetsAt + 32) >> 3] = t.abandonment || 0;
          heap[(targetsAt + 40) >> 3] = t.waitProbability || 0;
          heap[(targetsAt + 48) >> 3] = t.occupancy || 0;
          const NONE = 0xffffffff;   // the index is written only when an interval is refused
          wasm.HEAPU32[indexAt >> 2] = NONE;
          const status = wasm._moravel_day_plan(n, c, h, p, targetsAt, intervalMinutes, shrinkage,
                                                intervalsAt, totalsAt, indexAt);
          if (status !== 0) {
            const error = new MoravelError(status, wasm.UTF8ToString(wasm._moravel_status_message(status)));
            const index = wasm.HEAPU32[indexAt >> 2];
            if (index !== NONE) error.index = index;
            throw error;
          }
          const intervals = [];
          for (let j = 0; j < n; ++j) {
            const at = intervalsAt + j * INTERVAL_BYTES;
            intervals.push({ traffic: f64(at), agentsNeeded: i32(at + 8), agentsScheduled: i32(at + 12),
                             figures: contactCentreResult(at + 16) });
          }
          return {
            intervals,
            totals: {
              calls: f64(totalsAt), handlingTime: f64(totalsAt + 8), traffic: f64(totalsAt + 16),
              answeredCalls: f64(totalsAt + 24), abandonedCalls: f64(totalsAt + 32),
              agentIntervalsNeeded: i64(totalsAt + 40), agentIntervalsScheduled: i64(totalsAt + 48),
              scheduledAgentHours: f64(totalsAt + 56), peakAgentsScheduled: i32(totalsAt + 64),
              figures: contactCentreResult(totalsAt + 72),
            },
          };
        });
      },
    };
  }

  // Instantiates the module: `factory` is moravel_wasm.js's createMoravelWasm
  // (a global in a page, require("./moravel_wasm.js") under Node).
  async function load(factory) {
    const create = factory || (typeof createMoravelWasm !== "undefined" ? createMoravelWasm : null);
    if (!create) throw new Error("moravel_wasm.js must be loaded before Moravel.load()");
    return wrap(await create());
  }

  return { load, MoravelError, MOST_FREE: 1, FEWEST_FREE: 2, RANDOM_FREE: 3,
           NO_LINE_LIMIT: 0, SERVICE_LEVEL_OFFERED: 0, SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS: 1,
           GOAL_SERVICE_LEVEL: 1, GOAL_SERVICE_LEVEL_EXCLUDING_SHORT_ABANDONS: 2, GOAL_MEAN_ANSWER_WAIT: 3,
           GOAL_ABANDON_PROBABILITY: 4, GOAL_WAIT_PROBABILITY: 5 };
});
