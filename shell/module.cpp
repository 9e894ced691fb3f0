// libkvtpos.so is the module's code (kvtposcore) linked whole; its entry
// points are the extern "C" functions marked for export there.
