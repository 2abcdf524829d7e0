// What the page's scripts see around them, as small fakes: elements that keep their listeners, a
// game (Module) that writes down its calls, and a loader that runs a script as the page does, as a
// plain script, in a context whose globals are the fakes.
import { readFileSync } from 'node:fs';
import vm from 'node:vm';

const site = new URL('../../../web/site/', import.meta.url);

/// Runs web/site/NAME with these globals; returns the context.
export function load(name, globals) {
  const context = vm.createContext(globals);
  vm.runInContext(readFileSync(new URL(name, site), 'utf8'), context, { filename: name });
  return context;
}

/// An element with these properties whose listeners run when fire(type, event) is called.
export function element(properties = {}) {
  const listeners = {};
  return {
    style: {},
    hidden: false,
    addEventListener(type, f) { (listeners[type] ??= []).push(f); },
    fire(type, event = {}) { for (const f of listeners[type] ?? []) f({ preventDefault() {}, ...event }); },
    ...properties,
  };
}

/// A document holding these elements by id.
export function documentOf(elements, properties = {}) {
  return { ...element(), getElementById: (id) => elements[id], ...properties };
}

/// The game: its calls to the page's entry points, written down as [name, ...arguments] (copied out
/// of the script's context, whose arrays are not this one's).
export function game(properties = {}) {
  const calls = [];
  const record = (name, result) => (...args) => {
    calls.push(structuredClone([name, ...args]));
    return result;
  };
  return {
    calls,
    postRun: [],
    _webKey: record('key'),
    _webMouse: record('mouse'),
    _webMotion: record('motion'),
    _webResize: record('resize'),
    printErr: record('printErr'),
    ccall: record('ccall', 1),  // the game plays what it is given
    ...properties,
  };
}
