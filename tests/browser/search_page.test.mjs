// The search page and a deal's statement in a real browser, as a closer
// uses them: find a deal by the borrower's name, open it, print it, go
// back; by keyboard, on a phone, and from an address a colleague sent.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { canWriteLegacy, legacyDeal, makeArchive, purchase } from './archive.mjs';
import { launch, searchFor, watchedPage } from './browser.mjs';
import { serve } from './served.mjs';

let archive;
let server;
let browser;
// The address of the search for the purchase's borrower, as the page made it.
let searchUrl;

before(async () => {
  archive = makeArchive();
  server = await serve(archive, '127.0.0.1');
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.stop();
  archive?.remove();
});

const resultRows = (page) => page.locator('.results tbody tr');

function pdfPages(file) {
  const info = execFileSync('pdfinfo', [file], { encoding: 'utf8' });
  return Number(/^Pages:\s+(\d+)$/m.exec(info)?.[1]);
}

test('finds a deal by its borrower, shows and prints its statement, and goes back', async () => {
  const context = await browser.newContext();
  const { page, troubles } = await watchedPage(context);
  await page.goto(server.url);
  assert.equal(await page.evaluate(() => document.activeElement?.getAttribute('name')), 'q',
    'the search box has the focus on load');

  await searchFor(page, purchase.borrower);
  searchUrl = page.url();
  assert.equal(new URL(searchUrl).searchParams.get('q'), purchase.borrower);
  await assert.doesNotReject(resultRows(page).first().waitFor());
  assert.equal(await resultRows(page).count(), 1);
  const row = await resultRows(page).first().innerText();
  for (const shown of [purchase.file, purchase.settled, purchase.borrower])
    assert.match(row, new RegExp(shown), `the row shows ${shown}`);
  assert.match(await page.locator('.count').innerText(), /^1.1 of 1 deal$/);

  await Promise.all([page.waitForURL(/\/deal\/\d+$/), resultRows(page).getByRole('link').click()]);
  assert.match(await page.locator('body').innerText(), new RegExp(purchase.borrower));
  assert.ok(await page.getByRole('link', { name: 'JSON' }).isVisible(), 'links on screen');

  const pdf = join(archive.root, 'statement.pdf');
  writeFileSync(pdf, await page.pdf({ format: 'Letter' }));
  assert.equal(pdfPages(pdf), 2);
  const printed = execFileSync('pdftotext', ['-layout', pdf, '-'], { encoding: 'utf8' });
  assert.match(printed, new RegExp(purchase.borrower));
  assert.doesNotMatch(printed, /\b(Search|JSON|PDF)\b/, 'the links are not printed');

  await page.goBack();
  assert.equal(page.url(), searchUrl);
  assert.match(await resultRows(page).first().innerText(), new RegExp(purchase.borrower));
  assert.deepEqual(troubles, []);
  await context.close();
});

test('a search sent as its address shows the same row in a fresh browser', async () => {
  assert.ok(searchUrl, 'the first test made the search');
  const context = await browser.newContext();
  const { page, troubles } = await watchedPage(context);
  await page.goto(searchUrl);
  assert.equal(await resultRows(page).count(), 1);
  assert.match(await resultRows(page).first().innerText(), new RegExp(purchase.file));
  assert.equal(await page.locator('input[name=q]').inputValue(), purchase.borrower);
  assert.deepEqual(troubles, []);
  await context.close();
});

test('the date range narrows the results and the date column sorts them', async () => {
  const context = await browser.newContext();
  const { page, troubles } = await watchedPage(context);
  await page.goto(server.url);
  // Both purchases are of houses in Bangor: one settled in 2019, one in 2021.
  await searchFor(page, 'Bangor');
  const files = async () => (await page.locator('.results tbody td:first-child').allInnerTexts());
  assert.deepEqual((await files()).sort(), ['ferncliff.xml', 'quarterman.xml']);

  const sortLink = page.getByRole('link', { name: /Settlement/ });
  await Promise.all([page.waitForURL(/sort=newest/), sortLink.click()]);
  assert.deepEqual(await files(), ['quarterman.xml', 'ferncliff.xml']);
  await Promise.all([page.waitForURL(/sort=oldest/), sortLink.click()]);
  assert.deepEqual(await files(), ['ferncliff.xml', 'quarterman.xml']);

  await page.getByLabel('Settled from').fill('2020-01-01');
  await Promise.all([
    page.waitForURL(/from=2020-01-01/),
    page.getByLabel('Settled from').press('Enter'),
  ]);
  assert.deepEqual(await files(), ['quarterman.xml']);
  assert.deepEqual(troubles, []);
  await context.close();
});

test('the keyboard reaches the results\' links', async () => {
  const context = await browser.newContext();
  const { page, troubles } = await watchedPage(context);
  await page.goto(searchUrl);
  const link = await resultRows(page).getByRole('link').getAttribute('href');
  const focused = () => page.evaluate(() => document.activeElement?.getAttribute('href') ??
    document.activeElement?.getAttribute('name'));
  assert.equal(await focused(), 'q');

  let presses = 0;
  while ((await focused()) !== link && presses < 12) {
    await page.keyboard.press('Tab');
    ++presses;
  }
  assert.equal(await focused(), link, 'Tab reaches the row\'s link');
  await Promise.all([page.waitForURL(/\/deal\/\d+$/), page.keyboard.press('Enter')]);
  await page.goBack();

  // The page's script: arrows between the box and the links, "/" to the box.
  await page.locator('input[name=q]').focus();
  await page.keyboard.press('ArrowDown');
  assert.equal(await focused(), link);
  await page.keyboard.press('ArrowUp');
  assert.equal(await focused(), 'q');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('/');
  assert.equal(await focused(), 'q');
  assert.deepEqual(troubles, []);
  await context.close();
});

test('on a phone the search box and the results fit the screen\'s width', async () => {
  const context = await browser.newContext({
    viewport: { width: 390, height: 844 },
    deviceScaleFactor: 3,
    isMobile: true,
    hasTouch: true,
  });
  const { page, troubles } = await watchedPage(context);
  await page.goto(searchUrl);
  const widths = await page.evaluate(() => ({
    page: document.documentElement.scrollWidth,
    screen: window.innerWidth,
  }));
  assert.equal(widths.screen, 390);
  assert.ok(widths.page <= widths.screen, `the page is ${widths.page} px wide`);
  for (const shown of [page.locator('input[name=q]'), resultRows(page).getByRole('link')]) {
    const box = await shown.boundingBox();
    assert.ok(box && box.x >= 0 && box.x + box.width <= 390,
      `within the screen: ${JSON.stringify(box)}`);
  }
  assert.ok(await resultRows(page).first().isVisible());
  assert.deepEqual(troubles, []);
  await context.close();
});

test('a legacy deal is found and shown from its own file',
  { skip: !canWriteLegacy && 'make_legacy_deal is not built' }, async () => {
    const context = await browser.newContext();
    const { page, troubles } = await watchedPage(context);
    await page.goto(server.url);
    await searchFor(page, legacyDeal.borrower);
    assert.equal(await resultRows(page).count(), 1);
    await Promise.all([
      page.waitForURL(/\/deal\/\d+$/),
      resultRows(page).getByRole('link').click(),
    ]);
    const statement = await page.locator('body').innerText();
    assert.match(statement, new RegExp(legacyDeal.borrower));
    assert.match(statement, new RegExp(`legacy file ${legacyDeal.file}`));
    assert.deepEqual(troubles, []);
    await context.close();
  });

test('the search page runs no inline script, and the watch reports the refusal', async () => {
  const context = await browser.newContext();
  const { page, troubles } = await watchedPage(context);
  await page.goto(server.url);
  const refused = page.waitForEvent('console', (message) => message.type() === 'error');
  await page.evaluate(() => {
    const script = document.createElement('script');
    script.textContent = 'document.body.dataset.ran = "yes"';
    document.body.append(script);
  });
  await refused;
  assert.equal(await page.evaluate(() => document.body.dataset.ran), undefined);
  assert.equal(troubles.length, 1);
  assert.match(troubles[0], /Content Security Policy/);
  await context.close();
});

test('the server stops on SIGTERM with exit code 0', async () => {
  assert.equal(await server.stop(), 0);
});
