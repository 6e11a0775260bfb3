/* A libpelkadi without the entry Newton, to show that a program bound to the
 * library does not start when the entry is missing. */
int pelkadi_stub_marker(void) { return 0; }
