//| bring-up checks
load/pd/r  'board.axf'
//No available conversion of command:	frobnicate 1
go
stepl
//Warning: semicolon found on line: "go;step".  This conversion could contain errors.
//Put multiple commands on seperate lines

cexpression $inputbase
//Warning inputbase not available in MXT
stepl 3
//WARNING: while has been removed from step as unsupported
cexpression $sourcedir = 1
//warning $sourcedir not supported MXT functionality

expand
//NOTE: Can only expand current context
//warning unbreak not converted as MXT uses clearbreak #n where n is the breakpoint number
define int MyMacro_0()
{
$printtype $sourcedir$;
return (1);
}
.

break,macro:{MyMacro_0()} #42   
//Warning sourcedir not available in MXT
//Warning sourcedir not available in MXT
//Warning: location scope not converted: main
gostep until(x !=1)
//No available conversion of command:	unw
//Warning: semicolon found on line: "go while x==1;unw".  This conversion could contain errors.
//Put multiple commands on seperate lines

quit y
