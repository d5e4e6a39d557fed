# Code that does not include <windows.h>: it is built into the program and also
# natively on Linux (sanitizers, fuzzing). Keep both lists in step with the tree.
set(VORLANE_PORTABLE_SOURCES
    catalogue/append_outcome.cpp
    catalogue/catalogue_record.cpp
    catalogue/entry_rules.cpp
    catalogue/track_text.cpp
    catalogue/selection_state.cpp
    rrbutton/button_model.cpp
    rrbutton/button_states.cpp
    shell/dialog/dialog_rules.cpp
)

# Tests of the code above; they build for Windows and natively.
set(VORLANE_PORTABLE_TESTS
    tests/catalogue/catalogue_rules_test.cpp
    tests/rrbutton/button_rules_test.cpp
    tests/shell/dialog/dialog_rules_test.cpp
)
