// A replay as a link's fragment (web/site/share.js): raw DEFLATE in base64url, and a way back that
// refuses whatever is not one, in one line, and never inflates past 1 MiB; no link is made past it.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import test from 'node:test';
import { deflateRawSync, inflateRawSync } from 'node:zlib';

await import('../../../web/site/share.js');
const { pack, unpack, codeOf } = globalThis.FlipperShare;
const mib = 1 << 20;

test('a replay goes into a link as raw DEFLATE in base64url and comes back whole', async () => {
  const replay = readFileSync(new URL('../../../docs/demo.replay', import.meta.url), 'utf8');
  const code = await pack(replay);
  assert.match(code, /^[A-Za-z0-9_-]+$/);
  assert.equal(inflateRawSync(Buffer.from(code, 'base64url')).toString('utf8'), replay);
  assert.equal(await unpack(code), replay);
  assert.equal(await unpack(await pack('é\n')), 'é\n');
});

test('the code is what follows #replay= in the fragment', () => {
  const cases = [['#replay=AbC-_9', 'AbC-_9'], ['#replay=', ''], ['', null], ['#other=AbC', null], ['#Replay=AbC', null]];
  for (const [hash, code] of cases) assert.equal(codeOf(hash), code, hash);
});

test('a code that holds no replay is refused in one line', async () => {
  const cases = [
    ['AB!D', 'the link is not base64url'],
    ['AB+D', 'the link is not base64url'],
    ['ABCDE', 'the link is not base64url'],                  // 5 characters: no whole byte in the last
    ['', 'the link holds no replay'],
    ['____', 'the link does not hold a compressed replay'],  // 0xff...: a block of the reserved type
    ['AQEA_v__', 'the replay in the link is not text'],      // a stored block of the one byte 0xff
    ['A'.repeat(mib + 4), `the link is longer than ${mib} characters`],
  ];
  for (const [code, message] of cases) await assert.rejects(unpack(code), { message }, code.slice(0, 10));
});

test('a link inflates to 1 MiB at most: a byte more is refused, and so is a bomb', async () => {
  assert.equal((await unpack(await pack('0'.repeat(mib)))).length, mib);
  const refused = { message: `the replay in the link inflates past ${mib} bytes` };
  const made = (size) => deflateRawSync('0'.repeat(size)).toString('base64url');  // by another maker
  await assert.rejects(unpack(made(mib + 1)), refused);
  await assert.rejects(unpack(made(8 * mib)), refused);
});

test('no link is made that would be refused: past 1 MiB of replay, or of link', async () => {
  const refused = { message: 'this game is too long to share as a link: Download saves it as a file' };
  await assert.rejects(pack('0'.repeat(mib + 1)), refused);
  await assert.rejects(pack('é'.repeat(mib / 2 + 1)), refused);  // counted in bytes, not characters
  // Printable noise deflates to more than 6 bits a character: a link past 1 Mi characters.
  let seed = 1;
  const noise = Array.from({ length: mib }, () => String.fromCharCode(32 + ((seed = (seed * 48271) % 2147483647) % 95)));
  await assert.rejects(pack(noise.join('')), refused);
});
