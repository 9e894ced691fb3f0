// Visibility of the symbols that a shared library of ours offers to others.
#pragma once

#define KVT_EXPORT __attribute__((visibility("default")))
#define KVT_EXTERN_C extern "C" KVT_EXPORT
