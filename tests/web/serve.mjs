// Serves a folder of static files on 127.0.0.1: `node serve.mjs FOLDER [PORT]`. Port 0 picks a
// free one. Prints the URL once listening.
//
// As the site is to be published: a file with a gzipped sibling (F and F.gz, made when the site is
// built) goes out as that sibling with Content-Encoding: gzip to a browser that takes gzip; every
// answer has a strong ETag of the bytes sent (If-None-Match gives 304); a file named with the
// build's hash (name.0123abcd.js) is cached for a year, every other one revalidated on each use.
import { createHash } from 'node:crypto';
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.iv': 'text/plain; charset=utf-8',
  '.bmp': 'image/bmp',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
  '.json': 'application/json',
};
const hashedName = /\.[0-9a-f]{8,}\./;

// Whether an Accept-Encoding header allows gzip: named with a weight above 0, or left to `*`.
export function acceptsGzip(header) {
  const weights = new Map();
  for (const part of (header || '').split(',')) {
    const [coding, ...params] = part.trim().toLowerCase().split(';');
    if (!coding) continue;
    const q = params.map((p) => p.trim()).find((p) => p.startsWith('q='));
    weights.set(coding, q === undefined ? 1 : Number(q.slice(2)) || 0);
  }
  if (weights.has('gzip')) return weights.get('gzip') > 0;
  if (weights.has('x-gzip')) return weights.get('x-gzip') > 0;
  return (weights.get('*') || 0) > 0;
}

async function readOrNull(file) {
  try {
    return await readFile(file);
  } catch {
    return null;
  }
}

// The server's `overrides` map a path ('/sphere.iv') to a function (request, response) that
// answers it instead of the folder: the tests' way to serve a file that is not there.
export function serve(folder, port = 0) {
  const root = resolve(folder);
  const overrides = new Map();
  const server = createServer(async (request, response) => {
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    } catch {
      response.writeHead(400, { 'Content-Type': 'text/plain' }).end('bad request\n');
      return;
    }
    if (overrides.has(path)) {
      overrides.get(path)(request, response);
      return;
    }
    const file = normalize(join(root, path.endsWith('/') ? path + 'index.html' : path));
    if (file !== root && !file.startsWith(root + sep)) {
      response.writeHead(403).end();
      return;
    }
    const plain = await readOrNull(file);
    if (plain === null) {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
      return;
    }
    const headers = {
      'Content-Type': types[extname(file)] || 'application/octet-stream',
      'Cache-Control': hashedName.test(path.slice(path.lastIndexOf('/') + 1)) ?
        'public, max-age=31536000, immutable' : 'no-cache',
    };
    let body = plain;
    const gzipped = await readOrNull(file + '.gz');
    if (gzipped !== null) {
      headers.Vary = 'Accept-Encoding';
      if (acceptsGzip(request.headers['accept-encoding'])) {
        body = gzipped;
        headers['Content-Encoding'] = 'gzip';
      }
    }
    // A strong ETag of the bytes sent: the gzipped body has its own.
    headers.ETag = '"' + createHash('sha256').update(body).digest('hex').slice(0, 32) +
      (headers['Content-Encoding'] ? '-gz' : '') + '"';
    const wanted = (request.headers['if-none-match'] || '').split(',').map((t) => t.trim());
    if (wanted.includes(headers.ETag) || wanted.includes('*')) {
      delete headers['Content-Type'];
      response.writeHead(304, headers).end();
      return;
    }
    headers['Content-Length'] = body.length;
    response.writeHead(200, headers);
    response.end(request.method === 'HEAD' ? undefined : body);
  });
  server.overrides = overrides;
  return new Promise((done) => server.listen(port, '127.0.0.1', () => done(server)));
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [folder, port] = process.argv.slice(2);
  if (!folder) {
    console.error('usage: node serve.mjs FOLDER [PORT]');
    process.exit(2);
  }
  const server = await serve(folder, Number(port || 8000));
  console.log(`Flipper: http://127.0.0.1:${server.address().port}/`);
}
