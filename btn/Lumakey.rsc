# The resources of Lumakey.ocx: TYPE ID FILE...
#
# The type library and the two interface identities are written during the build from
# the library's declared surface (lumakey_types.cpp), so they always match the code.
TYPELIB      1      Lumakey.tlb
_IID_BTN     1      _btn.iid
_SRCIID_BTN  1      __btn.iid
# The picture a form designer's toolbox shows for btn.
BITMAP       30000  art/toolbox.xpm
VERSION      1      Lumakey.version
