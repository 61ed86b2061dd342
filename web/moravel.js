// moravel.js - libMoravel's status-returning interface (moravel/api.h) for
// JavaScript, over the WebAssembly module built by the preset `wasm`.
//
//   const moravel = await Moravel.load();        // in a page, after moravel_wasm.js
//   moravel.erlangBServers(50, 0.01);            // {servers: 64, loss: 0.0094...}
//
// Every entry point is made from the module's own description of its
// interface (moravel_interface_description), read once when the module is
// loaded: a function per entry point, named by its host name in camelCase
// (loss_finite: lossFinite), taking its inputs in C order.  An array's count
// is not passed: it is the array's length (arrays that share a count must
// have the same length).  A record input is an object of the record's fields
// in camelCase (a field left out is 0), an optional pointer may be null.
// The result is the one described result (a number, a record as an object,
// an array of numbers or records), or an object of every result by name in
// camelCase ({servers, loss}).
//
// Every number is the double the library computed, unrounded.  A refused
// input throws a MoravelError whose message is the library's own text
// ("servers must be at least 1"), with its `status` code, the status's
// `subject` and `reason` (the text without the subject), the page `fields`
// of the arguments the entry point says the status refuses, and the `index`
// of the refused point where the entry point reports one.  A count that is
// not a whole number within 32 bits throws a RangeError before the library
// is called (WebAssembly would wrap it silently).
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
  const F64 = 8;

  function count(name, value) {
    if (!Number.isInteger(value) || value < INT32_MIN || value > INT32_MAX) {
      throw new RangeError(name + " must be a whole number within 32 bits");
    }
    return value;
  }

  const camel = (name) => name.replace(/_([a-z0-9])/g, (_, c) => c.toUpperCase());

  // The bytes of one value of a C type (a record's by its description).
  const SCALAR_BYTES = { double: 8, int64_t: 8, int32_t: 4, uint32_t: 4, size_t: 4 };

  function wrap(wasm) {
    const described = JSON.parse(wasm.UTF8ToString(wasm._moravel_interface_description()));
    const records = {};
    for (const r of described.records) records[r.name] = r;
    const statuses = {};
    const statusByName = {};
    for (const s of described.statuses) {
      statuses[s.code] = s;
      statusByName[s.name] = s;
    }
    const bytesOf = (type) => SCALAR_BYTES[type] || records[type].size;

    // ---- Memory: one block of wasm memory, kept between calls and grown
    // when a call needs more, holds every array, record and result of a
    // call: a malloc and free per argument would cost more than a small model.
    let arena = 0;
    let arenaBytes = 0;
    function room(bytes) {
      if (bytes > arenaBytes) {
        if (arena) wasm._free(arena);
        arenaBytes = Math.max(bytes, 2 * arenaBytes, 512);
        arena = wasm._malloc(arenaBytes);
        if (!arena) {
          arenaBytes = 0;
          throw refusal(statusByName.MORAVEL_ERROR_OUT_OF_MEMORY.code);
        }
      }
      return arena;
    }

    // A reader and a writer per C type, made once: a record's reads its
    // fields at their described offsets into an object of camel-case names.
    const readers = {
      double: (address) => wasm.HEAPF64[address >> 3],
      int32_t: (address) => wasm.HEAP32[address >> 2],
      uint32_t: (address) => wasm.HEAPU32[address >> 2],
      size_t: (address) => wasm.HEAPU32[address >> 2],
      // A count of 64 bits that the library keeps below 2^53.
      int64_t: (address) => wasm.HEAPU32[address >> 2] + wasm.HEAP32[(address >> 2) + 1] * 4294967296,
    };
    const writers = {
      double: (address, value) => { wasm.HEAPF64[address >> 3] = value; },
      int32_t: (address, value, name) => { wasm.HEAP32[address >> 2] = count(name, value); },
      uint32_t: (address, value) => { wasm.HEAPU32[address >> 2] = value >>> 0; },
      size_t: (address, value) => { wasm.HEAPU32[address >> 2] = value >>> 0; },
      int64_t: (address, value) => {
        wasm.HEAPU32[address >> 2] = value >>> 0;
        wasm.HEAP32[(address >> 2) + 1] = Math.floor(value / 4294967296);
      },
    };
    // A record's reader is written out once, one object literal, as the
    // page reads records by the thousand (a plot, a day's plan).
    const HEAP_OF = { double: ["HEAPF64", 3], int32_t: ["HEAP32", 2], uint32_t: ["HEAPU32", 2],
                      size_t: ["HEAPU32", 2] };
    function reader(type) {
      if (!readers[type]) {
        const nested = [];
        const fields = records[type].fields.map((f) => {
          const heap = HEAP_OF[f.type];
          if (heap) return `${camel(f.name)}: wasm.${heap[0]}[(address + ${f.offset}) >> ${heap[1]}]`;
          nested.push(reader(f.type));
          return `${camel(f.name)}: nested[${nested.length - 1}](address + ${f.offset})`;
        });
        // eslint-disable-next-line no-new-func
        readers[type] = new Function("wasm", "nested", `return function (address) {
          return { ${fields.join(", ")} };
        };`)(wasm, nested);
      }
      return readers[type];
    }
    function writer(type) {
      if (!writers[type]) {
        const fields = records[type].fields.map((f) => [camel(f.name), writer(f.type), f.offset, f.name]);
        writers[type] = (address, value) => {
          const given = value || {};
          for (const [key, write, offset, name] of fields) write(address + offset, given[key] || 0, name);
        };
      }
      return writers[type];
    }

    // The library's refusal of `status` by the entry point `entry`.
    function refusal(status, entry) {
      const s = statuses[status];
      const error = new MoravelError(status, wasm.UTF8ToString(wasm._moravel_status_message(status)));
      error.subject = s ? s.subject : "";
      error.reason = s ? s.message : error.message;
      error.fields = [];
      if (entry && s) {
        // A record's field that the status refuses names its page field
        // before the record's argument does.
        const refuses = (part) => (part.refused_by || []).includes(s.name);
        for (const argument of entry.arguments) {
          if (argument.role !== "input") continue;
          const record = records[argument.type.replace(/^const /, "").replace(/\*$/, "")];
          for (const f of record ? record.fields : []) if (refuses(f)) error.fields.push(...(f.page || []));
          if (refuses(argument)) error.fields.push(...(argument.page || []));
        }
      }
      return error;
    }

    // An entry point as a function, written out once from its description
    // as one would write it by hand, so that a call costs no more than that:
    // each count taken from its arrays' lengths, each pointer's data placed
    // in the arena, each input converted, the results read.
    function entryPoint(entry) {
      const name = camel(entry.host_name);
      const counts = [...new Set(entry.arguments.filter((a) => a.length).map((a) => a.length))];
      const args = entry.arguments.map((a) => {
        const element = a.type.replace(/^const /, "").replace(/\*$/, "");
        const pointer = a.type.endsWith("*");
        return { ...a, element, pointer, isCount: counts.includes(a.name),
                 size: pointer ? bytesOf(element) : 0 };
      });
      const inputs = args.filter((a) => a.role === "input" && !a.isCount);
      inputs.forEach((a, j) => { a.input = `p${j}`; });
      const indexResult = args.find((a) => a.role === "result" && a.name === "refused_index");
      const shown = args.filter((a) => a.role === "result" && a !== indexResult);
      const NONE = 0xffffffff;   // an index the library writes only on a refusal
      const R = [], W = [];
      const use = (list, f) => { list.push(f); return list.length - 1; };
      const q = JSON.stringify;
      const lines = [`if (arguments.length !== ${inputs.length}) arity(arguments.length);`];
      for (const c of counts) {
        lines.push(`let n_${c} = -1;`);
        const arrays = inputs.filter((a) => a.length === c);
        for (const a of arrays) {
          lines.push(`if (${a.input} != null) {`,
                     `  if (n_${c} >= 0 && n_${c} !== ${a.input}.length) unequal(${q(arrays.map((b) => camel(b.name)))});`,
                     `  n_${c} = ${a.input}.length;`, `}`);
        }
        lines.push(`if (n_${c} < 0) n_${c} = 0;`);
      }
      // Where each pointer's data goes: an absent optional array is null.
      lines.push("let bytes = 0;");
      for (const a of args.filter((b) => b.pointer)) {
        const extent = a.length ? `${a.size} * Math.max(n_${a.length}, 1)` : `${a.size}`;
        if (a.role === "input" && a.length) {
          lines.push(`const o_${a.name} = ${a.input} == null ? -1 : bytes;`,
                     `if (${a.input} != null) bytes += ((${extent}) + 7) & ~7;`);
        } else {
          lines.push(`const o_${a.name} = bytes;`, `bytes += ((${extent}) + 7) & ~7;`);
        }
      }
      lines.push("const base = room(bytes);");
      for (const a of args.filter((b) => b.pointer && b.role === "input")) {
        const at = `base + o_${a.name}`;
        if (!a.length) {
          lines.push(`W[${use(W, writer(a.element))}](${at}, ${a.input}, ${q(a.name)});`);
        } else if (a.element === "double") {
          lines.push(`if (${a.input} != null) doublesIn(${a.input}, (${at}) >> 3);`);
        } else {
          lines.push(`if (${a.input} != null) for (let k = 0; k < ${a.input}.length; ++k) ` +
                     `W[${use(W, writer(a.element))}](${at} + k * ${a.size}, ${a.input}[k], ${q(a.name)});`);
        }
      }
      if (indexResult) lines.push(`wasm.HEAPU32[(base + o_refused_index) >> 2] = NONE;`);
      const passed = args.map((a) => {
        if (a.isCount) return a.type === "int32_t" ? `count(${q(a.name)}, n_${a.name})` : `n_${a.name}`;
        if (!a.pointer) {
          if (a.type === "int32_t") return `count(${q(a.name)}, ${a.input})`;
          return a.type === "double" ? a.input : `${a.input} >>> 0`;
        }
        return a.role === "input" && a.length ? `(o_${a.name} < 0 ? 0 : base + o_${a.name})` : `base + o_${a.name}`;
      });
      lines.push(`const status = fn(${passed.join(", ")});`,
                 `if (status !== 0) throw refused(status, ${indexResult ? "base + o_refused_index" : "-1"});`);
      const readOf = (a) => {
        const at = `base + o_${a.name}`;
        if (!a.length) return `R[${use(R, reader(a.element))}](${at})`;
        if (a.element === "double") {
          return `doublesOut((${at}) >> 3, n_${a.length})`;
        }
        return `items(R[${use(R, reader(a.element))}], ${at}, ${a.size}, n_${a.length})`;
      };
      lines.push(`return ${shown.length === 1 ? readOf(shown[0])
                                              : `{ ${shown.map((a) => `${camel(a.name)}: ${readOf(a)}`).join(", ")} }`};`);

      const helpers = {
        fn: wasm["_" + entry.c_name], room, count, wasm, NONE, R, W,
        arity: (n) => { throw new RangeError(`${name} takes ${inputs.length} arguments, not ${n}`); },
        unequal: (names) => { throw new RangeError(`${names.join(", ")} need the same number of values`); },
        refused: (status, indexAt) => {
          const error = refusal(status, entry);
          if (indexAt >= 0) {
            const index = wasm.HEAPU32[indexAt >> 2];
            if (index !== NONE) error.index = index;
          }
          return error;
        },
        // Element by element: for the few values of a call, faster than
        // a typed array's set() from an Array or Array.from().
        doublesIn: (values, at) => {
          const heap = wasm.HEAPF64;
          for (let k = 0; k < values.length; ++k) heap[at + k] = values[k];
        },
        doublesOut: (at, n) => {
          const heap = wasm.HEAPF64, values = new Array(n);
          for (let k = 0; k < n; ++k) values[k] = heap[at + k];
          return values;
        },
        items: (read, address, size, n) => {
          const values = new Array(n);
          for (let k = 0; k < n; ++k) values[k] = read(address + k * size);
          return values;
        },
      };
      const source = `return function ${name}(${inputs.map((a) => a.input).join(", ")}) {\n  ` +
                     lines.join("\n  ") + "\n};";
      // eslint-disable-next-line no-new-func
      return new Function(...Object.keys(helpers), source)(...Object.values(helpers));
    }

    const moravel = {
      MoravelError,
      description: described,
      // The status codes by name without MORAVEL_ERROR_ (SERVERS: 4).
      status: Object.fromEntries(described.statuses.map((s) => [s.name.replace(/^MORAVEL_(ERROR_)?/, ""), s.code])),
      // The link-choice policies by readable name (max-free: 1).
      policies: Object.fromEntries(described.policies.map((p) => [p.readable, p.code])),
      statusMessage: (status) => wasm.UTF8ToString(wasm._moravel_status_message(status)),
    };
    for (const entry of described.entry_points) {
      if (entry.returns === "moravel_status") moravel[camel(entry.host_name)] = entryPoint(entry);
    }
    // The policies and the header's other codes by their C names too
    // (moravel.MOST_FREE, moravel.GOAL_SERVICE_LEVEL, moravel.NO_LINE_LIMIT),
    // and each set of codes by the page's names (moravel.codes.goal.asa).
    for (const p of described.policies) moravel[p.name.replace(/^MORAVEL_/, "")] = p.code;
    moravel.codes = {};
    for (const c of described.codes) {
      moravel[c.name.replace(/^MORAVEL_/, "")] = c.value;
      moravel.codes[c.set] = moravel.codes[c.set] || {};
      if (c.page) moravel.codes[c.set][c.page] = c.value;
    }
    return moravel;
  }

  // Instantiates the module: `factory` is moravel_wasm.js's createMoravelWasm
  // (a global in a page, require("./moravel_wasm.js") under Node).
  async function load(factory) {
    const create = factory || (typeof createMoravelWasm !== "undefined" ? createMoravelWasm : null);
    if (!create) throw new Error("moravel_wasm.js must be loaded before Moravel.load()");
    return wrap(await create());
  }

  return { load, MoravelError };
});
