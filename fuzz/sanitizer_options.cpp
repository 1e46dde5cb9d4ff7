// AddressSanitizer settings every fuzz target starts with; ASAN_OPTIONS still overrides
// them. A fuzz run allocates and frees the same few buffers thousands of times a second:
// with the default quarantine of 256 MiB each allocation lands on memory the kernel must
// hand over afresh, which costs more than the run itself on this kind of machine. A use
// after free within a run is still caught: a run frees far less than 16 MiB.
extern "C" const char *__asan_default_options()
{
    return "quarantine_size_mb=16";
}
