// The calculator's one state record. Zero at load: the face and the shell give it its start values.
#include "engine/calc_state.h"

CalcState g_calc;
