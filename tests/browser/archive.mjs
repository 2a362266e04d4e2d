// A small archive made with the real tool, the way an office's share holds
// deals: two purchases written by `velmora new` and `velmora set`, and a
// legacy deal when the test-only legacy writer has been built.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, mkdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export const velmora = process.env.VELMORA;
const legacyWriter = process.env.VELMORA_MAKE_LEGACY_DEAL ?? '';

if (!velmora || !existsSync(velmora))
  throw new Error('VELMORA must name the built velmora tool');

// Words no form caption holds, so that a search for one finds one deal.
export const purchase = {
  file: 'quarterman.xml',
  borrower: 'Rosalind Quarterman',
  fileNumber: '2021-0412',
  settled: '2021-03-14',
  salesPrice: '318500.00',
};
const otherPurchase = {
  file: 'ferncliff.xml',
  borrower: 'Tobias Ferncliff',
  fileNumber: '2019-0077',
  settled: '2019-11-02',
  salesPrice: '204000.00',
};
export const legacyDeal = {
  file: 'holloway.hud',
  borrower: 'Ingrid Holloway',
  fileNumber: '2004-0311',
};

export const canWriteLegacy = legacyWriter !== '' && existsSync(legacyWriter);

function run(program, args) {
  execFileSync(program, args, { stdio: ['ignore', 'ignore', 'pipe'], timeout: 20_000 });
}

// M/D/YYYY, as the documents take a date.
function usDate(iso) {
  const [year, month, day] = iso.split('-').map(Number);
  return `${month}/${day}/${year}`;
}

function writePurchase(folder, deal) {
  const file = join(folder, deal.file);
  run(velmora, ['new', file]);
  const settings = [
    ['', 'i_settlementDate', usDate(deal.settled)],
    ['b', 'fileNo_6', deal.fileNumber],
    ['d', 'name1', deal.borrower],
    ['d', 'street', '7 Larch Court'],
    ['d', 'city', 'Bangor'],
    ['d', 'state', 'ME'],
    ['g', 'street', '40 Orchard Hill'],
    ['g', 'city', 'Bangor'],
    ['n100', 'n101', deal.salesPrice],
    ['n200', 'n202', '250000.00'],
  ];
  for (const [uri, property, value] of settings)
    run(velmora, ['set', file, uri, property, value]);
}

// A temporary folder holding `deals/` (the archive) and room for an index
// and a token; remove() deletes it all.
export function makeArchive() {
  const root = mkdtempSync(join(tmpdir(), 'velmora-browser-'));
  const deals = join(root, 'deals');
  mkdirSync(deals);
  writePurchase(deals, purchase);
  writePurchase(deals, otherPurchase);
  let documents = 2;
  if (canWriteLegacy) {
    run(legacyWriter, [join(deals, legacyDeal.file), legacyDeal.fileNumber, legacyDeal.borrower]);
    ++documents;
  }
  return {
    root,
    deals,
    documents,
    database: join(root, 'deals.db'),
    remove: () => rmSync(root, { recursive: true, force: true }),
  };
}
