#include "clsPathElement.h"

#include "clsError.h"

clsPathElement::~clsPathElement() { MyError.reset(); }
