#pragma once

// Gives the file open as to the extended attributes of the file open as from, its access ACL
// among them, and takes from it those that from lacks (an ACL inherited from its folder).
// False, with errno set, when one cannot be read or written: to is then not what from was.
// A file system without extended attributes has none to copy.
bool CopyExtendedAttributes(int from, int to);
