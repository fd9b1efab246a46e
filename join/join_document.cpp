#include "join/join_document.h"
