// The style sheet of the statement page. On screen each page of the form is
// a sheet on a grey desk. In print the paper is the browser's (no size is
// set) and the margins suit both A4 and Letter: page 1 holds boxes A to K,
// page 2 begins with L, as on the printed form; charges that do not fit
// page 2 continue on a further sheet, with line 1400 and the certification
// kept together. Rows, boxes and signature lines are never split. Every
// addendum and companion form starts a sheet of its own. The bottom margin
// holds the footer of every sheet (page_furniture.cpp).
#include "render/statement_parts.h"

namespace velmora::render {

std::string_view statementStyle() {
    return R"CSS(
@page { margin: 0.3in 0.35in 0.5in;
  @bottom-left { font: 6pt/1.25 "DejaVu Sans Condensed", "Liberation Sans Narrow", sans-serif;
    white-space: pre; text-align: left; vertical-align: top; padding-top: 5pt; }
  @bottom-center { font: 6.5pt/1.25 "DejaVu Sans Condensed", "Liberation Sans Narrow",
    sans-serif; vertical-align: top; padding-top: 5pt; }
  @bottom-right { font: 6pt/1.25 "DejaVu Sans Condensed", "Liberation Sans Narrow", sans-serif;
    white-space: pre; text-align: right; vertical-align: top; padding-top: 5pt; } }
* { box-sizing: border-box; }
html { background: #c8ccd0; }
body { margin: 0; padding: 18px 0; color: #000;
  font: 7pt/1.12 "DejaVu Sans Condensed", "Liberation Sans Narrow", "Arial Narrow",
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
.form-title + .parties { border-top: 0.6pt solid #000; margin-top: 2pt; }
.parties > div { padding: 1pt 3pt 2pt; border-left: 0.6pt solid #000; min-height: 5.2em; }
.parties > div:first-child { border-left: 0; }
.address { white-space: pre-line; margin-bottom: 1pt; overflow-wrap: anywhere; }
.party-list { display: grid; grid-template-columns: repeat(auto-fit, minmax(0, 1fr));
  gap: 0 5pt; }
.more-parties { font-style: italic; }
.field .label { color: #333; }
.field .label::after { content: ":"; }
table { width: 100%; border-collapse: collapse; table-layout: fixed; }
td, th { border: 0.5pt solid #000; padding: 0.2pt 2.5pt; vertical-align: top;
  overflow-wrap: anywhere; }
.summary, .charges { font-size: 6.8pt; line-height: 1.08; }
th { font-size: 6pt; text-align: left; background: #e4e4e4; }
col.no { width: 3.3em; }
col.amt { width: 8.4em; }
.summary { margin-top: 5pt; }
.summary col.mid { border-left: 1.5pt solid #000; }
td.head { font-weight: bold; background: #ececec; }
td.subhead { font-style: italic; }
td.no { white-space: nowrap; }
td.amt { text-align: right; white-space: nowrap; overflow-wrap: normal; }
td.amt.long { font-size: 5.4pt; }
td.amt.longer { font-size: 4.3pt; }
td.amt.text { white-space: normal; overflow-wrap: anywhere; }
td.total, tr.total td { font-weight: bold; }
tr.more td.no::before { content: "+"; color: #666; }
.caption { color: #222; }
.detail { margin-left: 3pt; color: #333; }
.detail.money { white-space: nowrap; }
.blank { display: inline-block; width: 3.5em; height: 0.6em; border-bottom: 0.5pt solid #777; }
td.copied { color: #444; background: #eef1f5; }
.value { font-weight: bold; }
.charges { margin-top: 0; }
.charges + .charges { margin-top: 6pt; }
.charges th.title { font-size: 8pt; }
.closing { break-before: avoid; break-inside: avoid; }
.certification { margin-top: 3pt; border: 0.6pt solid #000; padding: 2pt 4pt 3pt;
  break-before: avoid; break-inside: avoid; }
.certification p { margin: 0 0 1pt; font-size: 6.2pt; line-height: 1.1; }
.certification p.warning { margin: 2pt 0 0; font-weight: bold; }
.signers { display: grid; grid-template-columns: 1fr 1fr; gap: 0 14pt; margin-bottom: 2pt; }
.side .title { margin-bottom: 1pt; }
.sign { display: grid; grid-template-columns: 1fr 7em; gap: 0 8pt; break-inside: avoid; }
.sign-line, .date-line { margin-top: 10pt; border-top: 0.6pt solid #000; padding-top: 0.5pt;
  font-size: 6.2pt; line-height: 1.1; overflow-wrap: anywhere; }
.date-line { position: relative; }
.date-line .date { position: absolute; bottom: 100%; left: 0; font-size: 7pt; }
.party-table td { padding: 2pt 3pt; }
.party-table tr { break-inside: avoid; }
.fields { display: grid; grid-template-columns: 1fr 1fr; gap: 1pt 12pt; margin-bottom: 4pt; }
.entries th, .entries td { padding: 1pt 3pt; }
td.none { color: #666; font-style: italic; }
.page-links { width: 8.1in; margin: 0 auto 10px; display: flex; gap: 14px;
  font: 10pt/1.4 "DejaVu Sans", Arial, sans-serif; }
.page-links a { color: #0b3d91; }
@media print {
  .page-links { display: none; }
  html { background: none; }
  body { padding: 0; }
  .page, .appendix { width: auto; margin: 0; padding: 0; box-shadow: none; }
  #page2, .appendix { break-before: page; }
  tr, .parties, .loan, .certification { break-inside: avoid; }
}
)CSS";
}

} // namespace velmora::render
