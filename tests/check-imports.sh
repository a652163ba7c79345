#!/bin/sh
# Every program links its runtimes statically: it may import system DLLs only.
# Usage: check-imports.sh OBJDUMP PROGRAM...
objdump=$1
shift
status=0
for program in "$@"; do
  for dll in $("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p'); do
    case $(echo "$dll" | tr 'A-Z' 'a-z') in
    kernel32.dll | user32.dll | gdi32.dll | shell32.dll | ole32.dll | oleaut32.dll | ws2_32.dll | msvcrt.dll | advapi32.dll \
    | iphlpapi.dll | comctl32.dll | wtsapi32.dll) ;;
    *)
      echo "$program imports $dll, which is not a system DLL"
      status=1
      ;;
    esac
  done
done
[ $status -eq 0 ] && echo "only system DLLs are imported"
exit $status
