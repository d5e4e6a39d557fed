#include "catalogue/drop_paths.h"

#include "catalogue/long_path.h"
#include "catalogue/selection_state.h"
#include "catalogue/track_text.h"

void TrackTextFromDrop()
{
    TrackTextFromDrop(SelectionState, QueryFileAttributes);
}
