#include "catalogue/selection_state.h"

SelectionValues SelectionState;
