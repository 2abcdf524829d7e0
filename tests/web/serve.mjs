// Serves a folder of static files on 127.0.0.1: `node serve.mjs FOLDER [PORT]`. Port 0 picks a
// free one. Prints the URL once listening.
import { createHash } from 'node:crypto';
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.iv': 'text/plain; charset=utf-8',
  '.bmp': 'image/bmp',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

// The server's `overrides` map a path ('/sphere.iv') to a function (request, response) that
// answers it instead of the folder: the tests' way to serve a file that is not there.
export function serve(folder, port = 0) {
  const root = resolve(folder);
  const overrides = new Map();
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    if (overrides.has(path)) {
      overrides.get(path)(request, response);
      return;
    }
    const file = normalize(join(root, path.endsWith('/') ? path + 'index.html' : path));
    if (!file.startsWith(root)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      // An ETag, as common servers send: the service worker's check of a file it has costs no body.
      const tag = '"' + createHash('sha256').update(body).digest('hex').slice(0, 32) + '"';
      if (request.headers['if-none-match'] === tag) {
        response.writeHead(304, { ETag: tag }).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[extname(file)] || 'application/octet-stream', ETag: tag });
      response.end(body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
    }
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
