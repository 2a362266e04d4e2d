// The token login of a server that other machines reach: 127.0.0.2, a
// loopback address that is not 127.0.0.1, stands in for the office's
// network. The browser is sent to the login page, a wrong token is refused,
// the right one lets it search, and the session cookie is out of scripts'
// reach and not sent along from other sites.
import assert from 'node:assert/strict';
import { randomBytes } from 'node:crypto';
import { writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { makeArchive, purchase } from './archive.mjs';
import { launch, logIn, searchFor, watchedPage } from './browser.mjs';
import { serve } from './served.mjs';

const token = randomBytes(16).toString('hex');
let archive;
let server;
let browser;

before(async () => {
  archive = makeArchive();
  const tokenFile = join(archive.root, 'token');
  writeFileSync(tokenFile, `${token}\n`, { mode: 0o600 });
  server = await serve(archive, '127.0.0.2', ['--token-file', tokenFile]);
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.stop();
  archive?.remove();
});

test('a browser logs in with the token, and only with it, before it searches', async () => {
  assert.equal(new URL(server.url).hostname, '127.0.0.2');
  const context = await browser.newContext();
  const { page, troubles } = await watchedPage(context);
  await page.goto(new URL(`/?q=${encodeURIComponent(purchase.borrower)}`, server.url).href);
  assert.equal(new URL(page.url()).pathname, '/login', 'sent to the login page');
  assert.equal(await page.locator('.results').count(), 0);

  const [refused] = await logIn(page, `${token.slice(1)}0`);
  assert.equal(refused.status(), 401);
  assert.equal(new URL(page.url()).pathname, '/login');
  const refusal = page.getByRole('alert').getByText('That token is not the one.');
  await assert.doesNotReject(refusal.waitFor());
  assert.deepEqual(await context.cookies(), []);

  await logIn(page, token);
  assert.equal(new URL(page.url()).pathname, '/');
  await searchFor(page, purchase.borrower);
  const row = page.locator('.results tbody tr').first();
  assert.match(await row.innerText(), new RegExp(purchase.file));

  const [cookie, ...others] = await context.cookies();
  assert.deepEqual(others, []);
  assert.equal(cookie.name, 'velmora_session');
  assert.equal(cookie.httpOnly, true);
  assert.equal(cookie.sameSite, 'Strict');
  assert.equal(await page.evaluate(() => document.cookie), '', 'scripts cannot read the session');
  // The refused login's 401 is the only error.
  assert.deepEqual(troubles.map((trouble) => /status of (\d+)/.exec(trouble)?.[1]), ['401'],
    troubles.join('\n'));
  await context.close();
});

test('logging out ends the session, even for a copy of its cookie', async () => {
  const context = await browser.newContext();
  const { page } = await watchedPage(context);
  await page.goto(server.url);
  await logIn(page, token);
  const session = await context.cookies();
  const logOut = page.getByRole('button', { name: 'Log out' });
  await Promise.all([page.waitForURL(/\/login$/), logOut.click()]);
  assert.deepEqual(await context.cookies(), [], 'the browser forgets the cookie');
  await context.addCookies(session);
  await page.goto(server.url);
  assert.equal(new URL(page.url()).pathname, '/login');
  await context.close();
});

test('scripts reach the API with the token as a bearer, and not without it', async () => {
  const search = new URL(`/api/search?q=${encodeURIComponent(purchase.borrower)}`, server.url);
  const refused = await fetch(search);
  assert.equal(refused.status, 401);
  assert.equal(refused.headers.get('www-authenticate'), 'Bearer');
  const wrong = await fetch(search, { headers: { Authorization: `Bearer ${token}x` } });
  assert.equal(wrong.status, 401);

  const answered = await fetch(search, { headers: { Authorization: `Bearer ${token}` } });
  assert.equal(answered.status, 200);
  assert.equal(answered.headers.get('x-total-count'), '1');
  const [hit, ...more] = (await answered.text()).trim().split('\n').map((line) => JSON.parse(line));
  assert.deepEqual(more, []);
  assert.match(JSON.stringify(hit), new RegExp(purchase.borrower));
});

test('the server stops on SIGTERM with exit code 0', async () => {
  assert.equal(await server.stop(), 0);
});
