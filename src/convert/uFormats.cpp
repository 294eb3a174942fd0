#include "convert/uFormats.h"

#include "convert/uConvertAsc.h"
#include "convert/uConvertCfg.h"
#include "convert/uConvertCsv.h"
#include "convert/uConvertDat.h"
#include "convert/uConvertExcel.h"
#include "convert/uConvertGdb.h"
#include "convert/uConvertGeoJson.h"
#include "convert/uConvertGpi.h"
#include "convert/uConvertGpx.h"
#include "convert/uConvertItn.h"
#include "convert/uConvertKml.h"
#include "convert/uConvertKmz.h"
#include "convert/uConvertMio.h"
#include "convert/uConvertOv2.h"
#include "convert/uConvertOvr.h"

namespace {

struct TFormatModule {
    void (*Register)();
    void (*Unregister)();
};

// In this order; some formats take a position relative to those registered before them.
const TFormatModule Modules[] = {
    { RegisterOv2, UnregisterOv2 },
    { RegisterItn, UnregisterItn },
    { RegisterCfg, UnregisterCfg },
    { RegisterOvr, UnregisterOvr },
    { RegisterAsc, UnregisterAsc },
    { RegisterCsv, UnregisterCsv },
    { RegisterDat, UnregisterDat },
    { RegisterGdb, UnregisterGdb },
    { RegisterMio, UnregisterMio },
    { RegisterGpx, UnregisterGpx },
    { RegisterExcel, UnregisterExcel },
    { RegisterKml, UnregisterKml },
    { RegisterGpi, UnregisterGpi },
    { RegisterGeoJson, UnregisterGeoJson },
    { RegisterKmz, UnregisterKmz },
};

} // namespace

void RegisterBuiltInFormats()
{
    for (const TFormatModule& module : Modules)
        module.Register();
}

void UnregisterBuiltInFormats()
{
    for (auto module = std::rbegin(Modules); module != std::rend(Modules); ++module)
        module->Unregister();
}
