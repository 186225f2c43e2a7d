// A fault injector for file writes: the n-th call of one operation on a path that holds a
// given text fails with a given error. Linked into a test program, or preloaded into the
// program with LUMETRA_FAULT="<operation>:<n>:<errno>:<path text>".
#pragma once

extern "C" {

// Operations: "open", "write", "fsync", "close", "rename", "ftruncate", "unlink". n counts
// from 1; a later call of that operation on such a path fails too when `sticky` is set.
// An error of 0 kills the process at that call instead, as a power cut or SIGKILL would.
void lumetraFaultSet(const char* operation, int n, int error, const char* pathText, int sticky);
void lumetraFaultClear();
// How often the fault struck since it was set.
int lumetraFaultHits();
// The flags of the latest open of a path that holds the text; -1 when there was none.
int lumetraOpenFlags(const char* pathText);
}
