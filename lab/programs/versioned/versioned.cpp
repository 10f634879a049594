// Does nothing: it exists for the version resource in versioned.rc.
int wmain() { return 0; }
