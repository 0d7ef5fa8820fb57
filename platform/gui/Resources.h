// Named resources compiled into the program (the form description, the icon).
// The cmake function embed_resources(target NAME file ...) generates a source
// whose static registrar calls RegisterResource at start-up. Add it to an
// executable or an OBJECT library, never to a static library: an archive
// member that nothing refers to is not linked, and its resources would be
// missing.
#pragma once

#include <cstddef>
#include <string_view>

// Names are matched without regard to ASCII case; a later registration of
// the same name replaces the earlier one.
void RegisterResource(const char* name, const unsigned char* data, size_t size);
// The resource's bytes; empty when there is none of that name.
std::string_view FindResource(const char* name);
