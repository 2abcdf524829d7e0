// Fuzzes the page's link decoder (web/site/share.js) for SECONDS seconds: random and mutated
// #replay= codes, seeded with links to the replay reader's seeds and with a decompression bomb.
// Every code must give replay text of at most 1 MB or one Error of one line, within 2 s:
//   node fuzz-link.mjs SECONDS SEED_FOLDER
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { deflateRawSync } from 'node:zlib';

await import('../../web/site/share.js');
const { pack, unpack, maxInflated } = globalThis.FlipperShare;
const [seconds, seedFolder] = process.argv.slice(2);
if (!seconds || !seedFolder) {
  console.error('usage: node fuzz-link.mjs SECONDS SEED_FOLDER');
  process.exit(2);
}

const seeds = [];
for (const name of readdirSync(seedFolder)) seeds.push(await pack(readFileSync(join(seedFolder, name), 'latin1')));
// A bomb: 8 MB of text in a few kilobytes, deflated by another maker (pack makes no such link).
seeds.push(deflateRawSync('0'.repeat(8 << 20)).toString('base64url'));
const alphabet = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_';
let state = 12345;  // a fixed-seed generator: a failure can be found again
const random = (n) => {
  state = (Math.imul(state, 1103515245) + 12345) >>> 0;
  return (state >>> 8) % n;
};
const letter = () => alphabet[random(64)];

function mutate(code) {
  const c = [...code];
  switch (random(6)) {
    case 0: for (let k = 1 + random(4); k > 0 && c.length; k--) c[random(c.length)] = letter(); break;
    case 1: c.splice(random(c.length + 1), random(8)); break;
    case 2: c.splice(random(c.length + 1), 0, ...Array.from({ length: 1 + random(8) }, letter)); break;
    case 3: return c.slice(0, random(c.length + 1)).join('');
    case 4: c.splice(random(c.length + 1), 0, '!%#=+/ \n'[random(8)]); break;
    default: return Array.from({ length: random(200) }, letter).join('');
  }
  return c.join('');
}

// The bomb itself is refused for what it is, before it is inflated whole.
const bombRefusal = await unpack(seeds[seeds.length - 1]).then(() => 'inflated', (e) => e.message);
if (!bombRefusal.startsWith('the replay in the link inflates past')) {
  console.log(`link fuzz: the bomb was not refused: ${bombRefusal}`);
  process.exit(1);
}

const until = Date.now() + Number(seconds) * 1000;
let runs = 0;
let failures = 0;
while (Date.now() < until) {
  const code = mutate(seeds[random(seeds.length)]);
  const started = Date.now();
  let outcome;
  try {
    const text = await unpack(code);
    outcome = typeof text === 'string' && text.length <= maxInflated ? '' : 'more than the bound came out';
  } catch (e) {
    outcome = e instanceof Error && e.message.length > 0 && !e.message.includes('\n') ? '' : `a bad error: ${e}`;
  }
  if (outcome === '' && Date.now() - started > 2000) outcome = `took ${Date.now() - started} ms`;
  if (outcome !== '') {
    failures += 1;
    console.log(`link fuzz: ${outcome} for #replay=${code.slice(0, 200)}`);
  }
  runs += 1;
}
console.log(`link fuzz: ${runs} codes in ${seconds} s, ${failures} failures`);
process.exit(failures === 0 ? 0 : 1);
