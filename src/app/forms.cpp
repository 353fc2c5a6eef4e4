#include "app/forms.h"

namespace orv {

Forms& forms() {
    static Forms f;
    return f;
}

}  // namespace orv
