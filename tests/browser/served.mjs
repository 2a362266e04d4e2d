// `velmora serve` run as a person runs it: a real process on a loopback
// address, ready once it has printed its "serving" line and its first
// indexing has every deal of the archive. Every server started here is
// stopped when the test process ends, however it ends.
import { spawn } from 'node:child_process';
import { createServer } from 'node:net';
import { velmora } from './archive.mjs';

const running = new Set();
process.on('exit', () => {
  for (const child of running) child.kill('SIGKILL');
});

const kStartSeconds = 20;

// A port nobody listens on at `host` just now.
function freePort(host) {
  return new Promise((resolve, reject) => {
    const probe = createServer();
    probe.once('error', reject);
    probe.listen(0, host, () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

function exited(child) {
  return new Promise((resolve) => {
    if (child.exitCode !== null || child.signalCode !== null) resolve(child.exitCode);
    else child.once('exit', (code) => resolve(code));
  });
}

// The URL of the "serving" line, or { failed: what it printed } when the
// process ended first.
function servingUrl(child, deadline) {
  return new Promise((resolve, reject) => {
    let out = '';
    let err = '';
    const timer = setTimeout(
      () => reject(new Error(`velmora serve printed no "serving" line in ${kStartSeconds} s`)),
      deadline - Date.now());
    child.stderr.on('data', (chunk) => (err += chunk));
    child.stdout.on('data', (chunk) => {
      out += chunk;
      const line = /^serving (http:\/\/\S+\/) /m.exec(out);
      if (line) {
        clearTimeout(timer);
        resolve(line[1]);
      }
    });
    // 'close': its output is all read by then.
    child.once('close', () => {
      clearTimeout(timer);
      resolve({ failed: err || out });
    });
  });
}

async function indexed(url, documents, deadline) {
  while (Date.now() < deadline) {
    const health = await (await fetch(new URL('/health', url))).json();
    if (health.documents === documents && !health.updating && health.updated) return;
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  throw new Error(`the index did not reach ${documents} deals in ${kStartSeconds} s`);
}

// Serves `archive` on `host` with the extra arguments; resolves to
// { url, stop } once the index holds the whole archive. stop() resolves to
// the exit code.
export async function serve(archive, host, extra = []) {
  const deadline = Date.now() + kStartSeconds * 1000;
  // Another program may take the free port before the server does: try again.
  for (let attempt = 0; attempt < 3; ++attempt) {
    const port = await freePort(host);
    const child = spawn(
      velmora,
      ['serve', archive.deals, '--db', archive.database, '--listen', `${host}:${port}`, ...extra],
      { stdio: ['ignore', 'pipe', 'pipe'] });
    running.add(child);
    const url = await servingUrl(child, deadline).catch((error) => {
      child.kill('SIGKILL');
      throw error;
    });
    if (typeof url !== 'string') {
      running.delete(child);
      if (/cannot listen there/.test(url.failed)) continue;
      throw new Error(`velmora serve stopped: ${url.failed}`);
    }
    const stop = async () => {
      if (child.exitCode === null && child.signalCode === null) child.kill('SIGTERM');
      const timer = setTimeout(() => child.kill('SIGKILL'), 10_000);
      const code = await exited(child);
      clearTimeout(timer);
      running.delete(child);
      return code;
    };
    try {
      await indexed(url, archive.documents, deadline);
    } catch (error) {
      await stop();
      throw error;
    }
    return { url, stop };
  }
  throw new Error(`no free port on ${host} for velmora serve`);
}
