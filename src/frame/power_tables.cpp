#include "frame/power_tables.h"

namespace orvex::power_tables {

const LogEntry kLog[kLogSize] = {
    {0x1.642c88p+0, {-0x1.e7df69fe87deap-2, -0x1.d3b9d47459dbcp-58}},
    {0x1.555558p+0, {-0x1.a8ffa2a2b44cfp-2, 0x1.b052296473cf2p-57}},
    {0x1.47ae18p+0, {-0x1.6cb10664fd8e6p-2, 0x1.fe363854cfdd3p-57}},
    {0x1.3b13bp+0, {-0x1.32bfe871bd0a6p-2, 0x1.cbe2600c43f78p-56}},
    {0x1.2f6848p+0, {-0x1.f5fd650dcfa1fp-3, 0x1.dce927ce9c9b7p-59}},
    {0x1.249248p+0, {-0x1.8a897521581adp-3, 0x1.2b2c9de6c1c3cp-57}},
    {0x1.1a7b98p+0, {-0x1.22daf05d51b04p-3, -0x1.bd4b4b307f875p-57}},
    {0x1.11111p+0, {-0x1.7d603257b4441p-4, -0x1.33efc88efd2f9p-62}},
    {0x1.08421p+0, {-0x1.773935884e226p-5, -0x1.4260ba51ac614p-59}},
    {0x1p+0, {0x0p+0, 0x0p+0}},
    {0x1.e1e1ep-1, {0x1.663f86c1d8a22p-4, -0x1.0641346f0f6d9p-59}},
    {0x1.c71c7p-1, {0x1.5c01af2a6120dp-3, 0x1.43573827a1b62p-57}},
    {0x1.af287p-1, {0x1.fbc14eb58d664p-3, -0x1.74ef0646b8abdp-58}},
    {0x1.9999ap-1, {0x1.49a76da78a81bp-2, -0x1.101c1d27df899p-58}},
    {0x1.86186p-1, {0x1.91bbae57434ccp-2, -0x1.cac9a5fa9517ap-56}},
    {0x1.745d1p-1, {0x1.d6755addc8279p-2, -0x1.ce127985d34b4p-56}},
};

const dd::DoubleDouble kExp2[kExpSize] = {
    {0x1p+0, 0x0p+0},
    {0x1.172b83c7d517bp+0, -0x1.19041b9d78a76p-55},
    {0x1.306fe0a31b715p+0, 0x1.6f46ad23182e4p-55},
    {0x1.4bfdad5362a27p+0, 0x1.d4397afec42e2p-56},
    {0x1.6a09e667f3bcdp+0, -0x1.bdd3413b26456p-54},
    {0x1.8ace5422aa0dbp+0, 0x1.6e9f156864b27p-54},
    {0x1.ae89f995ad3adp+0, 0x1.7a1cd345dcc81p-54},
    {0x1.d5818dcfba487p+0, 0x1.2ed02d75b3707p-55},
};

const dd::DoubleDouble kLn2 = {0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
const dd::DoubleDouble kInverseLn2 = {0x1.71547652b82fep+0, 0x1.777d0ffda0d24p-56};

}  // namespace orvex::power_tables
