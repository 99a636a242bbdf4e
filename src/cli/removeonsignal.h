#pragma once

// A half-written temporary file must not outlive the program. While a path is set, every
// signal whose default action ends the program removes that file, then ends the program as
// that signal would have (a shell sees 128 + the signal's number); once installed, the
// handlers end it that way without a path too. A signal that is not at its default action
// when they are installed is left as it is: ignored at start (nohup, a background job),
// ignored by this program (SIGPIPE), or caught by a sanitizer.
//
// A write past the file size limit (`ulimit -f`) ends nothing: the kernel's SIGXFSZ for it is
// passed over, so that the write fails with EFBIG and is reported like any failed write.
// SIGXFSZ sent by another process ends the program as above.
//
// The handler reads the path as it is when the signal comes: it must stay valid, and its
// characters in place, until the path is set again (nullptr for none). The first call
// installs the handlers, whatever the path.
void RemoveOnSignal(const char* path);
