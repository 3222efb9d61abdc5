// The keyboard's keys on the face: which typed character or key taps which face key.
#pragma once
#include <cstddef>
#include "platform/extras.h"
#include "platform/windows.h"

const KEYTAP* FaceKeyTaps(std::size_t* count);
// The face's controls described in English for screen readers.
const CONTROLDESCRIPTION* FaceKeyDescriptions(std::size_t* count);
