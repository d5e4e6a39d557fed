// Resources that only the button tests carry (rrbutton_test_resources.rc).
#pragma once

// An icon with an integer id, for loading an image by id instead of by name.
#define TEST_ICON_ID 101
