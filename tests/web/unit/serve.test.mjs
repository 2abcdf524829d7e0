// The project's server (tests/web/serve.mjs) serves the site as it is to be published.
import assert from 'node:assert/strict';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import test from 'node:test';
import { gunzipSync, gzipSync } from 'node:zlib';
import { acceptsGzip, serve } from '../serve.mjs';

test('the gzipped copy to a browser that takes it, strong ETags of the bytes sent, a year only for hashed names', async () => {
  const site = mkdtempSync(join(tmpdir(), 'flipper-serve-'));
  writeFileSync(join(site, 'index.html'), 'page');
  writeFileSync(join(site, 'index.html.gz'), gzipSync('page'));
  writeFileSync(join(site, 'flipper.0123abcd.js'), 'hashed');
  const server = await serve(site, 0);
  const get = (path, headers = {}) => fetch(`http://127.0.0.1:${server.address().port}${path}`, { headers });
  try {
    const zipped = await get('/', { 'Accept-Encoding': 'gzip' });  // fetch decodes it
    const plain = await get('/', { 'Accept-Encoding': 'br, gzip;q=0' });
    assert.deepEqual([zipped.headers.get('content-encoding'), await zipped.text(), zipped.headers.get('vary')], ['gzip', 'page', 'Accept-Encoding']);
    assert.deepEqual([plain.headers.get('content-encoding'), await plain.text(), plain.headers.get('vary')], [null, 'page', 'Accept-Encoding']);
    assert.match(zipped.headers.get('etag'), /^"\w+-gz"$/);
    assert.equal((await get('/', { 'Accept-Encoding': 'gzip', 'If-None-Match': zipped.headers.get('etag') })).status, 304);
    assert.equal((await get('/', { 'Accept-Encoding': 'identity', 'If-None-Match': zipped.headers.get('etag') })).status, 200);
    assert.equal(gunzipSync(Buffer.from(await (await get('/index.html.gz')).arrayBuffer())).toString(), 'page');
    assert.equal(zipped.headers.get('cache-control'), 'no-cache');
    const hashed = await get('/flipper.0123abcd.js');
    assert.deepEqual([hashed.headers.get('cache-control'), hashed.headers.get('vary')], ['public, max-age=31536000, immutable', null]);
    for (const path of ['/%2e%2e/etc/passwd', '/..%2fetc%2fpasswd', '/missing.js'])
      assert.ok([403, 404].includes((await get(path)).status), path);
  } finally {
    server.close();
  }
});

test('Accept-Encoding allows gzip by name or by *, never at q=0', () => {
  const cases = [['deflate, gzip;q=0.5', true], ['GZIP', true], ['gzip;q=0', false], ['*', true], ['*;q=0', false],
    ['gzip;q=0, *', false], ['', false], [undefined, false], ['identity', false]];
  for (const [header, allowed] of cases) assert.equal(acceptsGzip(header), allowed, String(header));
});
