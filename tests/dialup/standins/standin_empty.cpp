// A stand-in main RAS library that exports none of the RAS functions.
#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

STANDIN_EXPORT int UnrelatedFunction()
{
    return 0;
}
