// Replays in the page (web/site/replays.js): a file or a link is played or refused in one line,
// said as text; #share makes a link of the game being played.
import assert from 'node:assert/strict';
import test from 'node:test';
import { documentOf, element, game, load } from './page.mjs';

await import('../../../web/site/share.js');
const share = globalThis.FlipperShare;

// The page at HREF; FlipperShare's promises are kept so that a test can wait for what follows them.
function page(href = 'https://example.org/flipper/index.html', played = 'flipper-replay 1\nend 7 ticks 6 score 0 hash 0\n') {
  const status = { textContent: '' };
  const link = element({ value: '', hidden: true, select() {} });
  const controls = { status, link, share: element(), download: element(), open: element({ value: 'x' }) };
  const written = [];
  const copied = [];
  const pending = [];
  const kept = (f) => (...args) => { const p = f(...args); pending.push(p); return p; };
  const Module = game({
    FS: {
      writeFile: (name, bytes) => written.push([name, new TextDecoder().decode(bytes)]),
      readFile: (name) => (name === '/game.replay' ? played : null),
    },
    _webSnapshot: () => 1,
  });
  const location = { hash: new URL(href).hash, href };
  load('replays.js', {
    Module, TextEncoder, URL,
    document: documentOf(controls),
    window: element({ location }),
    navigator: { clipboard: { writeText: async (text) => { copied.push(text); } } },
    FlipperShare: { ...share, pack: kept(share.pack), unpack: kept(share.unpack) },
  });
  // Waits for FlipperShare and then for what the page does with its answer.
  const settled = async () => {
    await Promise.allSettled(pending);
    await new Promise((resolve) => setImmediate(resolve));
  };
  return { Module, controls, written, copied, settled };
}

test('a file is played unless it is larger than the game reads (16 MiB)', async () => {
  const limit = 16 * 1024 * 1024;
  for (const [size, played] of [[limit, true], [limit + 1, false]]) {
    const { Module, controls, written, settled } = page();
    let read = false;
    const file = { name: 'a.replay', size, arrayBuffer: async () => { read = true; return new TextEncoder().encode('R').buffer; } };
    controls.open.files = [file];
    controls.open.fire('change');
    await settled();
    assert.equal(controls.open.value, '', 'the input is emptied for the next file');
    if (played) {
      assert.deepEqual(written, [['/incoming.replay', 'R']]);
      assert.deepEqual(Module.calls, [['ccall', 'webPlayReplay', 'number', ['string'], ['a.replay']]]);
      assert.equal(controls.status.textContent, 'a.replay: playing');
    } else {
      const line = 'a.replay: cannot read replay: file too large';
      assert.equal(read, false);
      assert.deepEqual(written, []);
      assert.deepEqual(Module.calls, [['printErr', line]]);
      assert.equal(controls.status.textContent, line);
    }
  }
});

test('a link is played when it holds a replay, and said as text when it does not', async () => {
  const good = await share.pack('flipper-replay 1\n');
  const cases = [
    [good, [['ccall', 'webPlayReplay', 'number', ['string'], ['link']]], 'link: playing'],
    ['<b>x</b>', [['printErr', 'link: the link is not base64url']], 'link: the link is not base64url'],
  ];
  for (const [code, calls, status] of cases) {
    const { Module, controls, settled } = page(`https://example.org/index.html#replay=${code}`);
    for (const f of Module.postRun) f();
    await settled();
    assert.deepEqual(Module.calls, calls, code);
    assert.deepEqual(controls.status, { textContent: status }, 'the status is set as text, never as HTML');
  }
});

test('#share makes a link to the game of this page without its query, and copies it', async () => {
  const { controls, copied, settled } = page('https://example.org/flipper/index.html?freeze-at=9#replay=old');
  controls.share.fire('click');
  await settled();
  const { value } = controls.link;
  const prefix = 'https://example.org/flipper/index.html#replay=';
  assert.ok(value.startsWith(prefix), value);
  assert.equal(await share.unpack(value.slice(prefix.length)), 'flipper-replay 1\nend 7 ticks 6 score 0 hash 0\n');
  assert.equal(controls.link.hidden, false);
  assert.deepEqual(copied, [value]);
  assert.equal(controls.status.textContent, `a link to this game, ${value.length} characters, copied`);
});

test('#share refuses a game too long for a link, pointing to #download', async () => {
  const { Module, controls, copied, settled } = page(undefined, 'key 1 x\n'.repeat(150000));
  controls.share.fire('click');
  await settled();
  const line = 'this game is too long to share as a link: Download saves it as a file';
  assert.deepEqual([controls.status.textContent, Module.calls, copied, controls.link.hidden], [line, [['printErr', line]], [], true]);
});
