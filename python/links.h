#pragma once

#include "calculators/registry.h"

#include <pybind11/pybind11.h>

namespace vantero::python {

// The columns of `vantero NAME --links` for `table`, a mapping of column
// names to their cells (a dict, a pandas DataFrame), each link from the
// figures of `base`: numpy arrays by name. Runs the links on `workers`
// threads without the interpreter's lock. A column the calculator's tables
// do not have, or one given twice, raises KeyError with the command line's
// message; columns of different lengths raise ValueError.
pybind11::dict linkColumns(const Session& base, pybind11::handle table, unsigned workers);

} // namespace vantero::python
