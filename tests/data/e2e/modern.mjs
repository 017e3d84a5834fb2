// Probes of what current sites rely on; each answers true when the engine has it.
export const probes = {
  'ES modules': () => true,
  'fetch': async () => (await fetch('/fetched')).ok,
  'async/await': async () => (await Promise.resolve(41)) + 1 === 42,
  'optional chaining': () => ({ a: null })?.a?.b === undefined && ({ a: { b: 1 } })?.a?.b === 1,
};
