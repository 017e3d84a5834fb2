// Linked into the GUI test programs of an AddressSanitizer build only.
//
// Qt, GTK and the input-method and theme modules they load unload those modules at
// exit, before the leak check runs. A block such a module keeps for the whole run
// then belongs to no loaded library: the report names "<unknown module>", and no
// suppression by library name can match it, so every GUI program would fail on
// blocks that are not ours. Keeping every module loaded until the process ends lets
// the leak check name the library, and the suppressions decide as for any other.
//
// The program's own definition wins over the C library's for every caller, since the
// build exports it from the program (tarvo_gui_test_keeps_modules_loaded in
// cmake/TarvoTargets.cmake).
extern "C" int dlclose(void* /*handle*/) { return 0; }
