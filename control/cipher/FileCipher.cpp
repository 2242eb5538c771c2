#include "FileCipher.h"

CFileCipher::~CFileCipher() = default;
