// The charge and summary blocks of the settlement statement, nodes n100 to
// n1600, named after the lines of the printed form.
//
// Amounts on lines are stored text; only the block totals (n120, n220, n420,
// n520, n1520, n1604, ...) are doubles, and no block computes them.
#pragma once

#include "sections/section_table.h"

namespace velmora {

extern const SectionTable section100Table;
extern const SectionTable section200Table;
extern const SectionTable section400Table;
extern const SectionTable section500Table;
extern const SectionTable section700Table;
extern const SectionTable section800Table;
extern const SectionTable section900Table;
extern const SectionTable section1000Table;
extern const SectionTable section1100Table;
extern const SectionTable section1200Table;
extern const SectionTable section1300Table;
extern const SectionTable section1400Table;
extern const SectionTable section1500Table;
extern const SectionTable section1600Table;

using CSection100 = TableSection<section100Table>;
using CSection200 = TableSection<section200Table>;
using CSection400 = TableSection<section400Table>;
using CSection500 = TableSection<section500Table>;
using CSection700 = TableSection<section700Table>;
using CSection800 = TableSection<section800Table>;
using CSection900 = TableSection<section900Table>;
using CSection1000 = TableSection<section1000Table>;
using CSection1100 = TableSection<section1100Table>;
using CSection1200 = TableSection<section1200Table>;
using CSection1300 = TableSection<section1300Table>;
using CSection1400 = TableSection<section1400Table>;
using CSection1500 = TableSection<section1500Table>;
using CSection1600 = TableSection<section1600Table>;

} // namespace velmora
