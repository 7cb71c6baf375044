// Symbol visibility for the vireo shared library: everything is hidden unless marked.
#ifndef VIREO_EXPORT_H
#define VIREO_EXPORT_H

#define VIREO_API __attribute__((visibility("default")))

#endif
