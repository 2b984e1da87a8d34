#include "skin/uPelluxSkin.h"

#include "skin/uPelluxImageList.h"
#include "skin/uPelluxRes.h"
#include "skin/uPelluxIntf.h"
#include "skin/uPelluxResDM.h"
#include "skin/uPelluxResManager.h"
#include "skin/uPngPictures.h"
#include "skin/uQvSkinRegistry.h"

void RegisterPelluxSkin() {
    RegisterPelluxIntf();
    RegisterPelluxImageList();
    RegisterPngPictures();
    RegisterPelluxResDM();
    RegisterSkinResManager();
    RegisterPelluxRes();
    RegisterQvSkinRegistry();
}
