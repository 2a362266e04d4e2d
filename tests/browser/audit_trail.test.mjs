// A named person's session in the browser, read back from the audit trail
// with the real tool: the person is added with `velmora serve --add-user`,
// logs in with the token it printed, searches, opens a deal and its PDF and
// logs out; then `velmora audit` lists each of those steps as that person's,
// in order, `--verify` finds the chain intact, and finds the line where a
// copy of the log was edited.
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { copyFileSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { makeArchive, purchase, velmora } from './archive.mjs';
import { launch, logIn, searchFor, watchedPage } from './browser.mjs';
import { serve } from './served.mjs';

const user = 'clerk.one';
let archive;
let token;
let auditLog;
let server;
let browser;

// The tool's answer to `args`: { status, stdout, stderr }.
function audit(args) {
  return spawnSync(velmora, ['audit', ...args], { encoding: 'utf8', timeout: 20_000 });
}

before(async () => {
  archive = makeArchive();
  const users = join(archive.root, 'users');
  auditLog = join(archive.root, 'audit.log');
  const added = execFileSync(velmora, ['serve', '--add-user', user, '--users', users],
    { encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'], timeout: 20_000 });
  token = added.trim();
  assert.match(token, /^\S{22,}$/, `one token printed: ${added}`);
  assert.doesNotMatch(readFileSync(users, 'utf8'), new RegExp(token), 'the file keeps no token');
  server = await serve(archive, '127.0.0.2', ['--users', users, '--audit-log', auditLog]);
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.stop();
  archive?.remove();
});

// Clicks the deal page's PDF link; resolves to the server's status and the
// PDF's bytes. The bytes are taken on their way to the browser, which may
// show them in a viewer of its own or save them.
async function openPdf(page, link) {
  let taken;
  const answered = new Promise((resolve) => (taken = resolve));
  await page.route((url) => url.pathname.endsWith('.pdf'), async (route) => {
    const response = await route.fetch();
    taken({ status: response.status(), bytes: await response.body() });
    await route.fulfill({ response });
  });
  await link.click();
  return answered;
}

// What a person sees when nothing was tampered with, and what the chain
// says once a copy has had one line edited.
test('a person\'s session is in the audit trail, and an edit of it shows', async (t) => {
  const context = await browser.newContext();
  const { page, troubles } = await watchedPage(context);
  await page.goto(server.url);
  await logIn(page, token);
  assert.equal(new URL(page.url()).pathname, '/');

  await searchFor(page, purchase.borrower);
  const result = page.locator('.results tbody tr').getByRole('link').first();
  await Promise.all([page.waitForURL(/\/deal\/\d+$/), result.click()]);
  const dealId = /\/deal\/(\d+)$/.exec(page.url())[1];
  assert.match(await page.locator('body').innerText(), new RegExp(purchase.borrower));

  const pdfLink = page.getByRole('link', { name: 'PDF' });
  const printsPdf = (await pdfLink.count()) > 0;
  if (printsPdf) {
    const pdf = await openPdf(page, pdfLink);
    assert.equal(pdf.status, 200);
    const file = join(archive.root, 'deal.pdf');
    writeFileSync(file, pdf.bytes);
    const printed = execFileSync('pdftotext', [file, '-'], { encoding: 'utf8' });
    assert.match(printed, new RegExp(purchase.borrower));
  } else {
    // The server prints no PDFs here: the browser prints the page instead,
    // which the server cannot see.
    writeFileSync(join(archive.root, 'deal.pdf'), await page.pdf({ format: 'Letter' }));
    t.diagnostic('the deal page offers no PDF link (no Chromium for the server): ' +
      'the pdf entry is not expected');
  }

  // The empty form, so that no second search is made on the way out.
  await page.goto(server.url);
  await Promise.all([page.waitForURL(/\/login$/),
    page.getByRole('button', { name: 'Log out' }).click()]);
  assert.deepEqual(troubles, []);
  await context.close();
  assert.equal(await server.stop(), 0);

  const verified = audit(['--verify', auditLog]);
  assert.equal(verified.status, 0, verified.stderr);
  assert.match(verified.stdout, /^\d+ entries, chain intact/);

  const listed = audit(['--json', auditLog, '--user', user]);
  assert.equal(listed.status, 0, listed.stderr);
  const entries = listed.stdout.trim().split('\n').map((line) => JSON.parse(line));
  const expected = ['login', 'search', 'view', ...(printsPdf ? ['pdf'] : []), 'logout'];
  assert.deepEqual(entries.map((entry) => entry.action), expected, listed.stdout);
  for (const entry of entries) {
    assert.equal(entry.user, user);
    assert.equal(entry.status, entry.action === 'logout' || entry.action === 'login' ? 303 : 200,
      JSON.stringify(entry));
    assert.match(entry.address, /^127\./);
  }
  const [, search, view, ...rest] = entries;
  assert.equal(new URLSearchParams(search.words).get('q'), purchase.borrower);
  assert.equal(view.deal, dealId);
  assert.match(view.path, new RegExp(`${purchase.file}$`));
  if (printsPdf) assert.equal(rest[0].deal, dealId);

  // A copy with the searched name changed: the chain breaks at that line.
  const edited = join(archive.root, 'edited.log');
  copyFileSync(auditLog, edited);
  const lines = readFileSync(edited, 'utf8').split('\n');
  const searchLine = lines.findIndex((line) => line.includes('"action":"search"')) + 1;
  assert.ok(searchLine > 0);
  const [surname] = purchase.borrower.split(' ').slice(-1);
  const original = lines[searchLine - 1];
  lines[searchLine - 1] = original.replace(surname, 'Elsewhere');
  assert.notEqual(lines[searchLine - 1], original, 'the search line holds the name');
  writeFileSync(edited, lines.join('\n'));
  const broken = audit(['--verify', edited]);
  assert.equal(broken.status, 1, broken.stdout);
  assert.match(broken.stderr, new RegExp(`: line ${searchLine} was changed`));
});
