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
    // Scratch room for the results of one call: the widest record is five
    // doubles (the delay system), the solvers add an int32 before them.
    const scratch = wasm._malloc(64);
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
    };
  }

  // Instantiates the module: `factory` is moravel_wasm.js's createMoravelWasm
  // (a global in a page, require("./moravel_wasm.js") under Node).
  async function load(factory) {
    const create = factory || (typeof createMoravelWasm !== "undefined" ? createMoravelWasm : null);
    if (!create) throw new Error("moravel_wasm.js must be loaded before Moravel.load()");
    return wrap(await create());
  }

  return { load, MoravelError, MOST_FREE: 1, FEWEST_FREE: 2, RANDOM_FREE: 3 };
});
