#pragma once
// The RMD fixture writer lives in support/sample_rmd.h; this name stays for the files that include it.
#include "support/sample_rmd.h"
