// Debian's Chromium under playwright-core (which downloads no browser), and
// a watch on each page for what a person would not see: errors in the
// console, among them the browser's report of a blocked resource or script
// (a Content-Security-Policy violation), and scripts that threw.
import { chromium } from 'playwright-core';

export const chromiumPath = process.env.VELMORA_CHROMIUM || '/usr/bin/chromium';

export function launch() {
  return chromium.launch({
    executablePath: chromiumPath,
    // Chromium's sandbox refuses to start as root.
    args: process.getuid?.() === 0 ? ['--no-sandbox'] : [],
    timeout: 30_000,
  });
}

// A page whose troubles are gathered in `troubles`.
export async function watchedPage(context) {
  const page = await context.newPage();
  page.setDefaultTimeout(10_000);
  const troubles = [];
  page.on('console', (message) => {
    const { url } = message.location();
    // The browser asks every site for /favicon.ico of its own accord; the
    // pages name no icon, and the server has none.
    if (message.type() === 'error' && !url.endsWith('/favicon.ico'))
      troubles.push(`console: ${message.text()} (${url})`);
  });
  page.on('pageerror', (error) => troubles.push(`script: ${error.message}`));
  return { page, troubles };
}

// Submits `secret` on the login page; resolves to [the answer, undefined].
export async function logIn(page, secret) {
  await page.getByLabel('Access token').fill(secret);
  return Promise.all([page.waitForNavigation(), page.getByLabel('Access token').press('Enter')]);
}

// Types `words` into the search box the page focuses on load, and searches.
// The focus may come a moment after the load on a busy machine: keys typed
// before it would be lost, so the wait for it is also the check that it comes.
export async function searchFor(page, words) {
  await page.waitForFunction(() => document.activeElement?.getAttribute('name') === 'q');
  await page.keyboard.type(words);
  await Promise.all([page.waitForURL(/\?/), page.keyboard.press('Enter')]);
}
