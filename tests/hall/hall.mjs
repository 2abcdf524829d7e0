// flipper-hall end to end on loopback (node hall.mjs HALL SIM REPO [--measure SECONDS]): the checks
// are the lines it prints; --measure adds SECONDS of 60-second games sent back to back, and the figures.
import { execFileSync, spawn } from 'node:child_process';
import { copyFileSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import http from 'node:http';
import net from 'node:net';
import { tmpdir } from 'node:os';

const [hallProgram, sim, repo] = process.argv.slice(2);
const measureSeconds = process.argv[5] === '--measure' ? Number(process.argv[6] || 20) : 0;
const work = mkdtempSync(`${tmpdir()}/flipper-hall-`);
const ref = `${repo}/tests/data/reference`;
let hall = null;

function fail(message) {
  console.log(`FAIL: ${message}`);
  hall?.process.kill('SIGKILL');
  process.exit(1);  // the folder is kept, with the database
}
const expect = (condition, message) => (condition ? console.log(`ok: ${message}`) : fail(message));
// Stops the server with signal, expectedly; resolves with its exit.
function stop(signal) {
  hall.process.removeAllListeners('exit');
  const exited = new Promise((done) => hall.process.on('exit', (code) => done(code)));
  hall.process.kill(signal);
  return exited;
}

// FNV-1a 64 of a file: the replay's model line.
function modelHash(file) {
  let hash = 0xcbf29ce484222325n;
  for (const byte of readFileSync(file)) hash = ((hash ^ BigInt(byte)) * 0x100000001b3n) & 0xffffffffffffffffn;
  return hash.toString(16).padStart(16, '0');
}

// A replay file from a game's trace (every idle call that completes a 1000th tick becomes a check),
// its keys and its summary line "ticks T score S hash H".
function replayOf(model, trace, keys, idles, summary) {
  const lines = keys.map(([idle, key]) => [idle, 0, `key ${idle} ${key}`]);
  for (const row of trace.trim().split('\n').slice(1)) {
    const f = row.split(',');
    if (Number(f[1]) % 1000 === 0) lines.push([Number(f[0]), 1, `check ${f[0]} ${f[f.length - 1]}`]);
  }
  lines.sort((a, b) => a[0] - b[0] || a[1] - b[1]);
  const [, ticks, score, hash] = summary.match(/ticks (\d+) score (\d+) hash ([0-9a-f]+)/);
  return ['flipper-replay 1', `model ${modelHash(model)}`, ...lines.map((l) => l[2]),
    `end ${idles} ticks ${ticks} score ${score} hash ${hash}`, ''].join('\n');
}

function start(site, extra = []) {
  const child = spawn(hallProgram, ['--site', site, '--db', `${work}/hall.db`, '--port', '0', ...extra]);
  const server = { process: child, log: '' };
  child.stderr.on('data', (d) => { server.log += d; });
  return new Promise((done) => {
    child.stdout.on('data', (d) => {
      const m = String(d).match(/serving on http:\/\/127\.0\.0\.1:(\d+)\//);
      if (m) done(Object.assign(server, { port: Number(m[1]) }));
    });
    child.on('exit', (code) => fail(`flipper-hall stopped (${code}): ${server.log}`));
  });
}

function request(path, { method = 'GET', body, token, from } = {}) {
  const started = performance.now();
  return new Promise((done, reject) => {
    const headers = token ? { Authorization: `Bearer ${token}` } : {};
    const r = http.request({ port: hall.port, path, method, headers, localAddress: from, agent: false }, (res) => {
      const chunks = [];
      res.on('data', (c) => chunks.push(c));
      res.on('end', () => done({ status: res.statusCode, headers: res.headers, body: Buffer.concat(chunks).toString(),
        ms: performance.now() - started }));
    });
    r.on('error', reject);
    r.end(body);
  });
}
const send = (name, body, token, from) =>
  request(`/api/games?name=${encodeURIComponent(name)}`, { method: 'POST', body, token, from });

// Raw bytes on one connection: what comes back, and after how long the server closed it.
function raw(bytes, { dripAfter } = {}) {
  const started = performance.now();
  return new Promise((done) => {
    const socket = net.connect(hall.port, '127.0.0.1', () => socket.write(bytes));
    let answer = '';
    const drip = dripAfter ? setInterval(() => socket.write('x'), dripAfter) : null;
    socket.on('data', (d) => { answer += d; });
    socket.on('error', () => {});
    socket.on('close', () => { clearInterval(drip); done({ answer, seconds: (performance.now() - started) / 1000 }); });
  });
}

// The site: the game's ball (the reference games' too) and a page.
const site = `${work}/site`;
mkdirSync(site);
copyFileSync(`${repo}/assets/sphere.iv`, `${site}/sphere.iv`);
writeFileSync(`${site}/index.html`, '<!doctype html><title>Flipper</title>');
const gameA = replayOf(`${ref}/ball.iv`, readFileSync(`${ref}/game-a.csv`, 'utf8'),
  [[1790, 'f'], [1950, 'f'], [2400, 'j']], 3000, readFileSync(`${ref}/game-a.stdout`, 'utf8'));
const gameB = replayOf(`${ref}/ball.iv`, readFileSync(`${ref}/game-b-every100.csv`, 'utf8'),
  [[300, 'f'], [900, 'j'], [5000, 'n'], [5000, 'n'], [7000, 'x']], 20000, readFileSync(`${ref}/game-b.stdout`, 'utf8'));
const demo = readFileSync(`${repo}/docs/demo.replay`, 'utf8');
// A minute of play (54,000 ticks at 900 a second) with the reference ball, for the load.
const minuteTrace = `${work}/minute.csv`;
const minuteSummary = execFileSync(sim, ['--model', `${ref}/ball.iv`, '--idles', '54001', '--key', '700:f',
  '--trace', minuteTrace, '--every', '1000'], { stdio: ['ignore', 'pipe', 'ignore'] }).toString();
const minute = replayOf(`${ref}/ball.iv`, readFileSync(minuteTrace, 'utf8'), [[700, 'f']], 54001, minuteSummary);
const token = (n) => `token-of-player-${n}`.padEnd(20, '0');

hall = await start(site);
let a = await send('ref-a', gameA, token('a'));
expect(a.status === 201 && /"score":26,"ticks":2999/.test(a.body), `game A: 201 with score 26 at tick 2999 (${a.body.trim()})`);
const b = await send('ref-b', gameB, token('b'));
expect(b.status === 201 && /"rank":1,"score":149,"ticks":8454/.test(b.body), `game B: over at tick 8454 with 149, first (${b.body.trim()})`);
const d = await send('demo', demo, token('d'));
expect(d.status === 201 && /"rank":2,"score":67,"ticks":9003/.test(d.body), `the demo: 201, second (${d.body.trim()})`);
let answer = await send('cheat', gameB.replace('score 149', 'score 150'), token('c'));
expect(answer.status === 422 && /diverged at the end/.test(answer.body), `a tampered score is refused: ${answer.body.trim()}`);

// Hostile requests, while the page goes on loading.
const drip = raw('GET / HTTP/1.1\r\nHost: x\r\nX-Slow: ', { dripAfter: 500 });
const idle = raw('');
for (const [what, bytes, status] of [['a 300 KB body', `POST /api/games?name=big HTTP/1.1\r\nContent-Length: ${300 * 1024}\r\n\r\n`, 413],
  ['a malformed request', 'NOT HTTP AT ALL\r\n\r\n', 400], ['a 10 KB header', `GET / HTTP/1.1\r\nX-Big: ${'a'.repeat(10000)}\r\n\r\n`, 431]]) {
  answer = await raw(bytes);
  expect(answer.answer.startsWith(`HTTP/1.1 ${status}`) && answer.seconds < 2, `${what}: ${status} at once (${answer.seconds.toFixed(2)} s)`);
}
const page = await request('/');
expect(page.status === 200 && page.ms < 2000, `the page loads meanwhile (${page.ms.toFixed(0)} ms)`);
for (const [what, cut] of [['a request dripped a byte every half second', await drip], ['a silent connection', await idle]])
  expect(cut.answer === '' && cut.seconds > 9 && cut.seconds < 12, `${what}: cut off after ${cut.seconds.toFixed(1)} s`);

// 200 games at once from 20 addresses: each answered; every 201 outlives a kill -9.
const flood = [];
for (let client = 0; client < 20; ++client)
  for (let game = 0; game < 10; ++game) flood.push(send(`load-${client}`, minute, token(client), `127.0.0.${10 + client}`));
const answers = await Promise.all(flood);
const stored = answers.filter((x) => x.status === 201).map((x) => JSON.parse(x.body).id);
const statuses = [...new Set(answers.map((x) => x.status))].sort().join(' ');
expect(answers.every((x) => [201, 429, 503].includes(x.status)) && stored.length >= 20,
  `200 games at once: ${stored.length} stored, the rest refused (statuses ${statuses})`);
await stop('SIGKILL');
hall = await start(site);
const kept = await Promise.all(stored.map((id) => request(`/api/games/${id}/replay`)));
expect(kept.every((x) => x.status === 200 && x.body === minute), `after kill -9, all ${stored.length} stored games are there`);

const top = JSON.parse((await request('/api/games?top=100')).body).games.filter((g) => !g.name.startsWith('load-'));
expect(top.map((g) => `${g.name} ${g.score}`).join(', ') === 'ref-b 149, demo 67, ref-a 26', `listed in order: ${top.map((g) => g.name).join(', ')}`);
const back = await Promise.all([b, d, a].map((x) => request(`/api/games/${JSON.parse(x.body).id}/replay`)));
expect(back.map((x) => x.body).join('|') === [gameB, demo, gameA].join('|'), 'each fetched back byte for byte');
expect(!(await request('/api/games?top=100')).body.includes('cheat'), 'the tampered game is nowhere listed');

// A database that refuses every write, as a full disk does: 503 and one line in the log.
execFileSync('sqlite3', [`${work}/hall.db`, "CREATE TRIGGER full BEFORE INSERT ON games BEGIN SELECT RAISE(FAIL, 'disk full'); END"]);
const logBefore = hall.log;
answer = await send('demo', demo, token('d'));
const logged = hall.log.slice(logBefore.length).trim().split('\n');
expect(answer.status === 503 && logged.length === 1 && /cannot store a game: disk full/.test(logged[0]), `refused writes: 503, logged "${logged[0]}"`);
execFileSync('sqlite3', [`${work}/hall.db`, 'DROP TRIGGER full']);

execFileSync(hallProgram, ['--remove', String(JSON.parse(d.body).id), '--db', `${work}/hall.db`]);
expect(!(await request('/api/games')).body.includes('"demo"'), 'flipper-hall --remove takes the demo out');

if (measureSeconds > 0) {
  // Four clients send the minute's game back to back; the server's processor time (utime + stime,
  // 1/100 s) gives the games one core verifies, whatever else the machine runs.
  await stop('SIGKILL');
  hall = await start(site, ['--games-per-minute', '100000']);
  const proc = (file) => readFileSync(`/proc/${hall.process.pid}/${file}`, 'utf8');
  const cpu = () => proc('stat').split(') ')[1].split(' ').slice(11, 13).reduce((sum, t) => sum + Number(t), 0) / 100;
  const [cpuBefore, end, times] = [cpu(), performance.now() + measureSeconds * 1000, []];
  await Promise.all([1, 2, 3, 4].map(async (n) => {
    while (performance.now() < end) times.push((await send(`m${n}`, minute, token(`m${n}`), `127.0.1.${n}`)).ms);
  }));
  times.sort((p, q) => p - q);
  console.log(`measured: ${(times.length / measureSeconds).toFixed(1)} games of a minute a second, ` +
    `${(times.length / (cpu() - cpuBefore)).toFixed(1)} per second of one core; p95 answer ` +
    `${times[Math.floor(times.length * 0.95)].toFixed(0)} ms; RSS ${proc('status').match(/VmRSS:\s+(\d+)/)[1]} kB`);
}

expect(await stop('SIGTERM') === 0 && /stopping/.test(hall.log), 'SIGTERM: a clean stop, status 0');
rmSync(work, { recursive: true, force: true });
