/* The sample component's identity, shared by the component and the program. */
#ifndef QV_SAMPLE_COMPONENT_H
#define QV_SAMPLE_COMPONENT_H

#include <objbase.h>

#define QV_SAMPLE_CLSID_TEXT "{6D1F2C4A-9B3E-4E57-A0C2-51F7D3B8E914}"
#define QV_SAMPLE_PROGID "QuorvaneSample.Component"
#ifndef SELFREG_E_CLASS
#define SELFREG_E_CLASS ((HRESULT)0x80040201L)
#endif

static const CLSID CLSID_QvSampleComponent = {
    0x6d1f2c4a, 0x9b3e, 0x4e57, {0xa0, 0xc2, 0x51, 0xf7, 0xd3, 0xb8, 0xe9, 0x14}};

#endif
