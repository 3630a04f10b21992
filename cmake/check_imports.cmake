# cmake -DOBJDUMP=<objdump> -DFOLDERS=<folder;...> -DFILES=<file;...> -P check_imports.cmake:
# fails when a Windows program or library (the .exe and .dll files of FOLDERS,
# and FILES) imports a function or a library that the oldest Windows the
# launcher supports lacks: Windows 7 and Server 2008 R2, without updates.
# Functions that came later, or with an update, are looked up when the program
# runs instead (GetProcAddress).
#
# It fails too when one imports a library that is neither one of the system's
# known libraries nor a file of FOLDERS (the launcher's folder: the C++
# runtime's libraries beside it, and the launcher itself, which plug-ins
# import). The loader looks for any other library in the program's folder
# first, before the program's code runs: a copy of a medium in a downloads
# folder would run a planted version.dll. Such libraries are loaded when they
# are needed, from the system folder (src/object/library_search_win.h).
cmake_minimum_required(VERSION 3.25)

# The known libraries of Windows 7 (the KnownDLLs of its session manager, on
# 32-bit and 64-bit Windows 7 alike), which the loader takes from the system
# folder whatever lies beside a program; ntdll.dll is mapped into every
# process before the loader runs. Left out although Windows 7 lists them:
# those of Internet Explorer (iertutil, urlmon, wininet), whose listing came
# and went with its versions, and difxapi. A library known only to later
# Windows (combase, bcrypt, ...) does not belong here.
set(known_libraries
    ntdll.dll kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll
    ole32.dll oleaut32.dll comdlg32.dll msvcrt.dll rpcrt4.dll sechost.dll imm32.dll
    imagehlp.dll psapi.dll setupapi.dll ws2_32.dll nsi.dll wldap32.dll normaliz.dll
    clbcatq.dll lpk.dll usp10.dll msctf.dll)

# Functions of the system's libraries that came with Windows 8 or later, or to
# Windows 7 only with an update, among those a program like this one might use.
set(newer_functions
    # kernel32
    AddDllDirectory RemoveDllDirectory SetDefaultDllDirectories
    GetSystemTimePreciseAsFileTime QueryUnbiasedInterruptTimePrecise
    CreateFile2 CopyFile2 GetOverlappedResultEx
    GetCurrentThreadStackLimits SetThreadDescription GetThreadDescription
    SetThreadInformation GetThreadInformation GetProcessInformation SetProcessInformation
    GetProcessMitigationPolicy SetProcessMitigationPolicy
    WaitOnAddress WakeByAddressSingle WakeByAddressAll
    InitializeSynchronizationBarrier EnterSynchronizationBarrier DeleteSynchronizationBarrier
    CreateFileMappingFromApp MapViewOfFileFromApp VirtualAllocFromApp VirtualAlloc2
    MapViewOfFile3 PrefetchVirtualMemory GetFirmwareType
    GetCurrentPackageId GetCurrentPackageFullName GetPackageFullName GetPackageFamilyName
    CreatePseudoConsole ResizePseudoConsole ClosePseudoConsole
    # user32
    GetDpiForWindow GetDpiForSystem GetSystemMetricsForDpi AdjustWindowRectExForDpi
    SystemParametersInfoForDpi EnableNonClientDpiScaling
    SetProcessDpiAwarenessContext SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext
    GetWindowDpiAwarenessContext AreDpiAwarenessContextsEqual GetAwarenessFromDpiAwarenessContext
    LogicalToPhysicalPointForPerMonitorDPI PhysicalToLogicalPointForPerMonitorDPI
    GetPointerType GetPointerInfo EnableMouseInPointer RegisterPointerInputTarget
    InitializeTouchInjection InjectTouchInput IsImmersiveProcess
    # ole32
    CoIncrementMTAUsage CoDecrementMTAUsage)

# Libraries that Windows 7 does not have (the C runtime of the system's
# libraries, msvcrt.dll, it has; the universal one only with an update).
set(newer_library_patterns "^api-ms-win-" "^ext-ms-" "^ucrtbase\\.dll$" "^shcore\\.dll$"
                           "^combase\\.dll$" "^bcryptprimitives\\.dll$")

set(files ${FILES})
set(beside "")
foreach(folder IN LISTS FOLDERS)
    file(GLOB found ${folder}/*.exe ${folder}/*.dll)
    list(APPEND files ${found})
    foreach(file IN LISTS found)
        get_filename_component(name ${file} NAME)
        string(TOLOWER "${name}" name)
        list(APPEND beside ${name})
    endforeach()
endforeach()
if(NOT files)
    message(FATAL_ERROR "no files to check")
endif()

set(findings "")
foreach(file IN LISTS files)
    execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} cannot read ${file}")
    endif()
    get_filename_component(name ${file} NAME)
    string(REPLACE "\n" ";" lines "${dump}")
    set(library "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^[ \t]*DLL Name: (.+)$")
            string(TOLOWER "${CMAKE_MATCH_1}" library)
            set(newer FALSE)
            foreach(pattern IN LISTS newer_library_patterns)
                if(library MATCHES "${pattern}")
                    list(APPEND findings "${name} imports ${library}")
                    set(newer TRUE)
                endif()
            endforeach()
            if(NOT newer AND NOT library IN_LIST known_libraries AND NOT library IN_LIST beside)
                list(APPEND findings
                     "${name} imports ${library}, which is no known library: load it from the system folder")
            endif()
        elseif(library AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +([A-Za-z_][A-Za-z0-9_@]*)$")
            if(CMAKE_MATCH_1 IN_LIST newer_functions)
                list(APPEND findings "${name} imports ${CMAKE_MATCH_1} of ${library}")
            endif()
        endif()
    endforeach()
endforeach()

foreach(finding IN LISTS findings)
    message(NOTICE "${finding}")
endforeach()
if(findings)
    message(FATAL_ERROR "Windows 7 lacks what these files import, or the loader would look for it beside them")
endif()
list(LENGTH files count)
message(STATUS "${count} files import nothing Windows 7 lacks, and only known libraries and those beside them")
