// The style sheet of the statement page. On screen each page of the form is
// a sheet on a grey desk. In print the paper is the browser's (no size is
// set) and the margins suit both A4 and Letter; a typical statement fills two
// sheets. The statement's parts flow from one sheet to the next with no break
// forced between them, so that a long first part never leaves most of a
// sheet empty; rows, boxes and line 1400 with the certification are never
// split. Every addendum and companion form starts a sheet of its own.
#include "render/statement_parts.h"

namespace velmora::render {

std::string_view statementStyle() {
    return R"CSS(
@page { margin: 0.35in; }
* { box-sizing: border-box; }
html { background: #c8ccd0; }
body { margin: 0; padding: 18px 0; color: #000;
  font: 7.2pt/1.15 "DejaVu Sans Condensed", "Liberation Sans Narrow", "Arial Narrow",
        "DejaVu Sans", Arial, Helvetica, sans-serif;
  -webkit-print-color-adjust: exact; print-color-adjust: exact; }
.page, .appendix { width: 8.1in; margin: 0 auto 18px; padding: 0.3in; background: #fff;
  box-shadow: 0 1px 5px rgba(0, 0, 0, 0.4); }
h1 { font-size: 13pt; margin: 0; }
.source { margin: 0 0 1pt; font-size: 6pt; color: #555; text-align: right; }
h2 { font-size: 11pt; margin: 0 0 6pt; }
h3 { font-size: 8.5pt; margin: 8pt 0 3pt; }
.form-title { display: flex; justify-content: space-between; align-items: baseline;
  border-bottom: 1.5pt solid #000; padding-bottom: 2pt; }
.form-name { font-weight: bold; font-size: 9pt; }
.loan { display: grid; grid-template-columns: 2.4fr 1fr 1fr 1.3fr; border: 0.6pt solid #000;
  border-top: 0; }
.loan > div { padding: 1pt 3pt; border-left: 0.6pt solid #000; min-height: 2.6em; }
.loan > div:first-child { border-left: 0; }
.option { margin-right: 6pt; white-space: nowrap; }
.option.marked { font-weight: bold; }
.title { font-size: 6.4pt; font-weight: bold; text-transform: uppercase; color: #333; }
.note { margin: 0; padding: 2pt 3pt; font-size: 6.6pt; border: 0.6pt solid #000;
  border-top: 0; }
.parties { display: grid; grid-template-columns: repeat(auto-fit, minmax(0, 1fr));
  border: 0.6pt solid #000; border-top: 0; }
.parties > div { padding: 1pt 3pt 2pt; border-left: 0.6pt solid #000; min-height: 5.2em; }
.parties > div:first-child { border-left: 0; }
.address { white-space: pre-line; margin-bottom: 1pt; overflow-wrap: anywhere; }
.party-list { display: grid; grid-template-columns: repeat(auto-fit, minmax(0, 1fr));
  gap: 0 5pt; }
.more-parties { font-style: italic; }
.field .label { color: #333; }
.field .label::after { content: ":"; }
table { width: 100%; border-collapse: collapse; table-layout: fixed; }
td, th { border: 0.5pt solid #000; padding: 0.3pt 2.5pt; vertical-align: top;
  overflow-wrap: anywhere; }
th { font-size: 6.6pt; text-align: left; background: #e4e4e4; }
col.no { width: 3.4em; }
col.amt { width: 9.5em; }
col.payor { width: 8em; }
.summary { margin-top: 6pt; }
.summary col.mid { border-left: 1.5pt solid #000; }
td.head { font-weight: bold; background: #ececec; }
td.subhead { font-style: italic; }
td.no { white-space: nowrap; }
td.amt { text-align: right; }
td.total, tr.total td { font-weight: bold; }
tr.more td.no::before { content: "+"; color: #666; }
.caption { color: #222; }
.detail { margin-left: 4pt; color: #333; }
td.copied { color: #444; background: #eef1f5; }
.value { font-weight: bold; }
.charges { margin-top: 0; }
.charges + .charges { margin-top: 8pt; }
.charges th.title { font-size: 8pt; }
.closing { break-before: avoid; break-inside: avoid; }
.certification { margin-top: 6pt; border: 0.6pt solid #000; padding: 2pt 3pt;
  break-before: avoid; break-inside: avoid; }
.certification p { margin: 0 0 3pt; font-size: 6.6pt; }
.signatures { display: grid; grid-template-columns: 1fr 1fr 1fr; gap: 6pt; }
.signature { border-top: 0.6pt solid #000; padding-top: 1pt; min-height: 3.2em; }
.fields { display: grid; grid-template-columns: 1fr 1fr; gap: 1pt 12pt; margin-bottom: 4pt; }
.entries th, .entries td { padding: 1pt 3pt; }
td.none { color: #666; font-style: italic; }
@media print {
  html { background: none; }
  body { padding: 0; }
  .page, .appendix { width: auto; margin: 0; padding: 0; box-shadow: none; }
  .appendix { break-before: page; }
  tr, .parties, .loan, .certification { break-inside: avoid; }
}
)CSS";
}

} // namespace velmora::render
