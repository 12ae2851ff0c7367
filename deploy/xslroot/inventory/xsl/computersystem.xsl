<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_ComputerSystem: the one host of the inventory. Its name comes from
     the kernel (System/@host), or from lshw's top node when that is missing;
     the machine's description from lshw; three date-times, one of each form:
     the boot time as an absolute date-time, the uptime as an interval, the
     collection time as seconds since 1970. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="resulttext.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="inventory" select="/QRVCIM/Inventory"/>
  <xsl:variable name="machine" select="($inventory/Hardware/node | $inventory/Hardware/list/node)[1]"/>
  <xsl:variable name="name" select="($inventory/System/@host | $machine/@id)[1]"/>
  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="key" select="/QRVCIM/Attributes/Required[@name = 'Name']/@value"/>

  <xsl:template match="/">
    <xsl:if test="$name and (not($get) or $name = $key)">
      <xsl:call-template name="system"/>
    </xsl:if>
  </xsl:template>

  <xsl:template name="system">
    <xsl:text>instance of Korvex_ComputerSystem&#10;{&#10;</xsl:text>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Name'"/>
      <xsl:with-param name="value" select="$name"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Description'"/>
      <xsl:with-param name="value" select="$machine/description"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Model'"/>
      <xsl:with-param name="value" select="$machine/product"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Vendor'"/>
      <xsl:with-param name="value" select="$machine/vendor"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Version'"/>
      <xsl:with-param name="value" select="$machine/version"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'SerialNumber'"/>
      <xsl:with-param name="value" select="$machine/serial"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'UUID'"/>
      <xsl:with-param name="value" select="$machine/configuration/setting[@id = 'uuid']/@value"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Chassis'"/>
      <xsl:with-param name="value" select="$machine/configuration/setting[@id = 'chassis']/@value"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'Width'"/>
      <xsl:with-param name="value" select="$machine/width"/>
    </xsl:call-template>
    <xsl:if test="$inventory/System/@bootTime">
      <xsl:text>LastBootUpTime = "absolute:</xsl:text>
      <xsl:value-of select="$inventory/System/@bootTime"/>
      <xsl:text>";&#10;</xsl:text>
    </xsl:if>
    <xsl:if test="$inventory/System/@uptimeSeconds">
      <xsl:text>Uptime = "interval:</xsl:text>
      <xsl:value-of select="$inventory/System/@uptimeSeconds"/>
      <xsl:text>";&#10;</xsl:text>
    </xsl:if>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'LastCollected'"/>
      <xsl:with-param name="value" select="$inventory/@collected"/>
    </xsl:call-template>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
